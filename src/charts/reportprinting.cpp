#include "charts/reportprinting.h"

#include "charts/archivalpdf.h"
#include "charts/paintersurface.h"
#include "core/currentmeasurement.h"
#include "core/daycount.h"
#include "platform/outputfile.h"
#include "core/version.h"

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

bool writeReportPdf(const QString &path, const ReportJob &job, QString *error) {
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    // Found out before the pages are drawn; the file itself is written whole at the end.
    if (!isWritableOutputPath(path, error))
        return false;
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(ReportPdfDpi);
        writer.setPageLayout(reportPdfLayout());
        // Archival: every font embedded, the metadata in XMP as well as in the document information.
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setTitle(job.savedTitle());
        writer.setCreator(reportCreator());
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(u"the PDF writer did not start"_s);
        PainterSurface surface(painter, reportFont());
        job.produce(surface, pdfPageGeometry(ReportPdfDpi), {});
        painter.end();
        if (!surface.pagesOk())
            return fail(u"the PDF writer refused a page"_s);
    }
    const std::optional<QByteArray> archival = finishArchivalPdf(pdf, job.author, error);
    if (!archival)
        return false;
    pdf = *archival;
    // A report names the subject: private like the register it comes from.
    return writeOutputFile(path, pdf, error);
}

bool writeAnalysisReportPdf(const QString &path, const AnalysisReportInput &input, QString *error) {
    return writeReportPdf(path, analysisReportJob(input), error);
}

QString reportCreator() {
    return u"O.R.L.U. "_s + QLatin1StringView(programVersion());
}

QString analysisReportDocumentTitle(const CurrentMeasurement &measurement) {
    QString title = u"O.R.L.U. 分析报表"_s;
    if (!measurement.subject.number.isEmpty())
        title += u" 受测者 "_s + measurement.subject.number;
    if (measurement.measuredAt > 0) {
        const CalendarTime at = calendarTimeOfDayCount(measurement.measuredAt);
        title += u" 测量日期 "_s + at.date.toString(Qt::ISODate) + u' ' + at.time.toString(u"HH:mm"_s);
    }
    return title;
}

QString savedReportFileName(const CurrentMeasurement &measurement) {
    QString name = u"orlu-report"_s;
    if (!measurement.subject.number.isEmpty()) {
        QString number = measurement.subject.number;
        for (QChar &c : number) {
            if (!c.isLetterOrNumber() && c != u'-')
                c = u'_';
        }
        name += u'-' + number;
    }
    if (measurement.measuredAt > 0)
        name += u'-' + calendarTimeOfDayCount(measurement.measuredAt).date.toString(Qt::ISODate);
    return name + u".pdf"_s;
}

ReportJob analysisReportJob(const AnalysisReportInput &input) {
    return {analysisReportJobTitle(), u"分析报表"_s,
            [&input](DrawingSurface &surface, const PageGeometry &geometry,
                     const std::function<bool()> &aborted) {
                return produceAnalysisReport(surface, geometry, input, aborted);
            },
            input.measurement ? analysisReportDocumentTitle(*input.measurement) : QString(),
            input.organisation.isEmpty() ? input.reportTitle : input.organisation};
}

} // namespace orlu
