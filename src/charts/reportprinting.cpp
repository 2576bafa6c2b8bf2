#include "charts/reportprinting.h"

#include "charts/paintersurface.h"
#include "core/outputfile.h"

#include <QBuffer>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QPdfWriter>

namespace orlu {

using namespace Qt::StringLiterals;

PageGeometry pageGeometryOf(const QPagedPaintDevice &device) {
    const int dpi = device.logicalDpiX();
    const QRect printable = device.pageLayout().paintRectPixels(dpi);
    return {dpi, printable.width(), printable.height()};
}

QPageLayout reportPdfLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(3, 3, 3, 3),
                       QPageLayout::Millimeter);
}

PageGeometry pdfPageGeometry(int dpi) {
    const QRect printable = reportPdfLayout().paintRectPixels(dpi);
    return {dpi, printable.width(), printable.height()};
}

PaintedReport paintAnalysisReport(QPainter &painter, const AnalysisReportInput &input,
                                  std::function<bool()> aborted) {
    auto *device = dynamic_cast<QPagedPaintDevice *>(painter.device());
    const PageGeometry geometry =
        device ? pageGeometryOf(*device) : pdfPageGeometry(painter.device()->logicalDpiX());
    PainterSurface surface(painter, reportFont());
    PaintedReport painted;
    painted.outcome = produceAnalysisReport(surface, geometry, input, std::move(aborted));
    painted.pagesOk = surface.pagesOk();
    return painted;
}

bool writeAnalysisReportPdf(const QString &path, const AnalysisReportInput &input, QString *error) {
    // Found out before the pages are drawn; the file itself is written whole at the end.
    if (!isWritableOutputPath(path, error))
        return false;
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(ReportPdfDpi);
        writer.setPageLayout(reportPdfLayout());
        writer.setTitle(analysisReportJobTitle());
        writer.setCreator(u"O.R.L.U."_s);
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error)
                *error = u"the PDF writer did not start"_s;
            return false;
        }
        const PaintedReport painted = paintAnalysisReport(painter, input);
        painter.end();
        if (!painted.pagesOk) {
            if (error)
                *error = u"the PDF writer refused a page"_s;
            return false;
        }
    }
    // A report names the subject: private like the register it comes from.
    return writeOutputFile(path, pdf.data(), error, true);
}

} // namespace orlu
