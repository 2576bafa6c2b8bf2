#pragma once

#include "charts/analysisreport.h"

class QPrinter;
class QWidget;

namespace orlu {

class EventPump;
class Prompter;

enum class PrintJobResult { Printed, Aborted, Failed };

// Prints the job's report on `printer` with the progress window shown. The report
// is produced first, with the window's "中断打印" able to stop it; only a complete
// report is handed to the printing system, so an aborted job leaves nothing
// behind. No printer, a file that cannot be written or a job the printing
// system refuses are told through a type-6 message.
PrintJobResult printReportJob(QPrinter &printer, const ReportJob &job, Prompter &prompter, EventPump &pump,
                              QWidget *parent);
// The analysis report as such a job.
PrintJobResult printAnalysisReportJob(QPrinter &printer, const AnalysisReportInput &input, Prompter &prompter,
                                      EventPump &pump, QWidget *parent);

// The report's pages in the system's print preview, on `printer`'s paper.
void previewAnalysisReport(QPrinter &printer, const AnalysisReportInput &input, QWidget *parent);

// The message when no printer is chosen or installed.
QString noPrinterMessage();

} // namespace orlu
