#include "charts/ui/reportprintjob.h"

#include "core/clock.h"
#include "core/prompter.h"
#include "charts/paintersurface.h"
#include "charts/recordingsurface.h"
#include "charts/reportprinting.h"
#include "charts/ui/printprogresswindow.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

bool hasPrinter(const QPrinter &printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return !printer.outputFileName().isEmpty();
    return printer.isValid() && !printer.printerName().isEmpty();
}

} // namespace

QString noPrinterMessage() {
    return u"没有可用的打印机。请先安装打印机，或在【打印设定】中选择打印机或打印到文件 (PDF)。"_s;
}

PrintJobResult printReportJob(QPrinter &printer, const ReportJob &job, Prompter &prompter, EventPump &pump,
                              QWidget *parent) {
    if (!hasPrinter(printer)) {
        prompter.showMessageBox(NoteError, noPrinterMessage());
        return PrintJobResult::Failed;
    }
    const PageGeometry geometry = pageGeometryOf(printer);

    PrintProgressWindow progress(parent);
    progress.start();
    pump.pump(0);
    RecordingSurface pages(geometry.dpi);
    const ReportOutcome outcome = job.produce(pages, geometry, [&] {
        pump.pump(0);
        return progress.isAborted();
    });
    progress.hide();
    if (outcome == ReportOutcome::Aborted)
        return PrintJobResult::Aborted;

    const bool toPdf = printer.outputFormat() == QPrinter::PdfFormat;
    if (toPdf) {
        printer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        printer.setCreator(reportCreator());
    }
    printer.setDocName(toPdf ? job.savedTitle() : job.title);
    QPainter painter;
    bool ok = painter.begin(&printer);
    if (ok) {
        PainterSurface surface(painter, reportFont());
        replayOps(pages.ops(), surface);
        ok = painter.end() && surface.pagesOk();
    }
    printer.setDocName(QString());
    if (!ok) {
        const QString target =
            toPdf ? u"文件 "_s + printer.outputFileName() + u" 无法写入"_s : u"打印系统拒绝了打印工作"_s;
        prompter.showMessageBox(NoteError, target + u"，"_s + job.name + u"没有打印。"_s);
        return PrintJobResult::Failed;
    }
    return PrintJobResult::Printed;
}

PrintJobResult printAnalysisReportJob(QPrinter &printer, const AnalysisReportInput &input, Prompter &prompter,
                                      EventPump &pump, QWidget *parent) {
    return printReportJob(printer, analysisReportJob(input), prompter, pump, parent);
}

void previewAnalysisReport(QPrinter &printer, const AnalysisReportInput &input, QWidget *parent) {
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(u"printPreviewDialog"_s);
    preview.setWindowTitle(u"打印预览"_s);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&input](QPrinter *target) {
        QPainter painter(target);
        paintAnalysisReport(painter, input);
    });
    preview.exec();
}

} // namespace orlu
