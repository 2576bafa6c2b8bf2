#pragma once

#include "charts/analysisreport.h"

class QPrinter;
class QWidget;

namespace orlu {

class EventPump;
class PrintSystem;
class Prompter;

enum class PrintJobResult { Printed, Aborted, Failed };

struct PrintJobOutcome {
    PrintJobResult result = PrintJobResult::Failed;
    // For the window's status line: where a printed job went ("已送至打印机 X"), and
    // whether its queue holds it; empty otherwise.
    QString status;
};

// Prints the job's report on `printer` with the progress window shown. The report
// is produced and laid out on its pages first, with the window's "中断打印" able to
// stop it; only a complete document is handed to `system`'s queue (or written to
// the printer's PDF file), so an aborted job leaves nothing behind. No printer, a
// file that cannot be written or a job the queue refuses are told through a type-6
// message naming the printer and the reason.
PrintJobOutcome printReportJob(QPrinter &printer, PrintSystem &system, const ReportJob &job,
                               Prompter &prompter, EventPump &pump, QWidget *parent);
// The analysis report as such a job.
PrintJobOutcome printAnalysisReportJob(QPrinter &printer, PrintSystem &system,
                                       const AnalysisReportInput &input, Prompter &prompter, EventPump &pump,
                                       QWidget *parent);

// The report's pages in the system's print preview, on `printer`'s paper.
void previewAnalysisReport(QPrinter &printer, const AnalysisReportInput &input, QWidget *parent);

// The message when no printer is chosen or installed.
QString noPrinterMessage();
// The message when no printer is known because the print service is not running.
QString noPrintServiceMessage();

} // namespace orlu
