#pragma once

#include "charts/analysisreport.h"
#include "charts/reportfont.h"

#include <QFont>
#include <QPageLayout>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;

// The analysis report on a printer page or in a PDF file.
namespace orlu {

// The printable area of a printer or PDF writer at its resolution.
PageGeometry pageGeometryOf(const QPagedPaintDevice &device);
// The page of a report written to PDF: A4 with the narrow margins a printer keeps.
QPageLayout reportPdfLayout();
inline constexpr int ReportPdfDpi = 600;
PageGeometry pdfPageGeometry(int dpi);

struct PaintedReport {
    ReportOutcome outcome = ReportOutcome::Finished;
    bool pagesOk = true; // false when the device refused a new page
};
// Draws the whole report with a painter that is active on a paged device.
PaintedReport paintAnalysisReport(QPainter &painter, const AnalysisReportInput &input,
                                  std::function<bool()> aborted = {});

// Writes a report as an A4 PDF file by writeOutputFile's rules: a regular file is
// replaced only when the document is complete. False with a message when the
// file cannot be written.
bool writeReportPdf(const QString &path, const ReportJob &job, QString *error);
bool writeAnalysisReportPdf(const QString &path, const AnalysisReportInput &input, QString *error);

// The program's name and version, as saved documents name their creator.
QString reportCreator();
// "O.R.L.U. 分析报表 受测者 A001 测量日期 2026-03-01 09:30": what a saved report is titled.
QString analysisReportDocumentTitle(const CurrentMeasurement &measurement);
// "orlu-report-A001-2026-03-01.pdf": the file name offered for a saved report; characters
// that do not belong in a file name become '_'.
QString savedReportFileName(const CurrentMeasurement &measurement);

// The analysis report as a print job; `input` must outlive it.
ReportJob analysisReportJob(const AnalysisReportInput &input);

} // namespace orlu
