#include "charts/ui/reportprintjob.h"

#include "core/clock.h"
#include "core/prompter.h"
#include "charts/paintersurface.h"
#include "charts/printsystem.h"
#include "charts/recordingsurface.h"
#include "charts/reportprinting.h"
#include "charts/ui/printprogresswindow.h"

#include <QPainter>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QPrinter>
#include <QTemporaryDir>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

bool printsToFile(const QPrinter &printer) {
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

// Lays the recorded pages out on `device` (the printer's file, or the document for a queue).
bool paintPages(QPagedPaintDevice &device, const RecordingSurface &pages) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    PainterSurface surface(painter, reportFont());
    replayOps(pages.ops(), surface);
    return painter.end() && surface.pagesOk();
}

// The document for a queue: a PDF on the printer's paper and resolution, in a private folder.
bool paintDocument(const QPrinter &printer, const QString &file, const QString &title,
                   const RecordingSurface &pages) {
    QPrinter document(QPrinter::HighResolution);
    document.setOutputFormat(QPrinter::PdfFormat);
    document.setOutputFileName(file);
    document.setResolution(printer.resolution());
    document.setPageLayout(printer.pageLayout());
    document.setFullPage(printer.fullPage());
    document.setColorMode(printer.colorMode());
    document.setDocName(title);
    return paintPages(document, pages);
}

} // namespace

QString noPrinterMessage() {
    return u"没有可用的打印机。请先安装打印机，或在【打印设定】中选择打印机或打印到文件 (PDF)。"_s;
}

QString noPrintServiceMessage() {
    return u"打印服务没有运行，找不到任何打印机。请先启动打印服务，或在【打印设定】中选择打印到文件 (PDF)。"_s;
}

PrintJobOutcome printReportJob(QPrinter &printer, PrintSystem &system, const ReportJob &job,
                               Prompter &prompter, EventPump &pump, QWidget *parent) {
    const bool toFile = printsToFile(printer);
    const QString queue = toFile ? QString() : system.queueOf(printer);
    if (!toFile && queue.isEmpty()) {
        // Without its service the computer lists no printer at all: say which it is.
        prompter.showMessageBox(MessageType::NoteError,
                                system.running() ? noPrinterMessage() : noPrintServiceMessage());
        return {};
    }
    auto refused = [&](const QString &why) {
        prompter.showMessageBox(MessageType::NoteError, why + u"，"_s + job.name + u"没有打印。"_s);
        return PrintJobOutcome{};
    };
    const PageGeometry geometry = pageGeometryOf(printer);

    PrintProgressWindow progress(parent);
    progress.start();
    pump.pump(0);
    auto aborted = [&] {
        pump.pump(0);
        return progress.isAborted();
    };
    RecordingSurface pages(geometry.dpi);
    if (job.produce(pages, geometry, aborted) == ReportOutcome::Aborted)
        return {PrintJobResult::Aborted, {}};

    if (toFile) {
        progress.hide();
        printer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        printer.setCreator(reportCreator());
        printer.setDocName(job.savedTitle());
        const bool ok = paintPages(printer, pages);
        printer.setDocName(QString());
        if (!ok)
            return refused(u"文件 "_s + printer.outputFileName() + u" 无法写入"_s);
        return {PrintJobResult::Printed, {}};
    }

    // The job stays the operator's to abort until the queue has it.
    const QTemporaryDir work;
    const QString document = work.filePath(u"report.pdf"_s);
    const bool painted = work.isValid() && paintDocument(printer, document, job.title, pages);
    if (aborted())
        return {PrintJobResult::Aborted, {}};
    progress.hide();
    if (!painted)
        return refused(u"打印文件无法建立 (%1)"_s.arg(work.isValid() ? document : work.errorString()));
    QString reason;
    if (system.submit(queue, job.title, document, printer.copyCount(), &reason) == 0)
        return refused(u"打印机 %1 没有接受打印工作：%2"_s.arg(queue, reason));
    const PrintQueueState state = system.state(queue);
    const QString sent = u"已送至打印机 %1"_s.arg(queue);
    return {PrintJobResult::Printed,
            state.paused || !state.accepting ? sent + u"，但打印队列已暂停"_s : sent};
}

PrintJobOutcome printAnalysisReportJob(QPrinter &printer, PrintSystem &system,
                                       const AnalysisReportInput &input, Prompter &prompter, EventPump &pump,
                                       QWidget *parent) {
    return printReportJob(printer, system, analysisReportJob(input), prompter, pump, parent);
}

namespace {

// The preview opens showing a whole page readably: 85 % of the screen's height, and
// as wide as a portrait page of that height with the tool bar's margins.
void sizeForAWholePage(QPrintPreviewDialog &preview) {
    const QScreen *screen = preview.screen() ? preview.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const int height = available.height() * 85 / 100;
    preview.resize(std::min(available.width(), height * 3 / 4 + 60), height);
    if (auto *view = preview.findChild<QPrintPreviewWidget *>())
        view->fitInView();
}

} // namespace

void previewAnalysisReport(QPrinter &printer, const AnalysisReportInput &input, QWidget *parent) {
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(u"printPreviewDialog"_s);
    preview.setWindowTitle(u"打印预览"_s);
    sizeForAWholePage(preview);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&input](QPrinter *target) {
        QPainter painter(target);
        paintAnalysisReport(painter, input);
    });
    preview.exec();
}

} // namespace orlu
