#pragma once

#include "trend/trendseries.h"
#include "charts/reportpage.h"

#include <QDateTime>
#include <QString>

#include <functional>

// The printed trend of one subject: the organisation's header, the subject, the trend
// chart across the print width, and one line per visit with its values followed by the
// verdict texts of the indicators that are not normal. Drawn on the report's page model,
// so it goes to a printer, a PDF or a recording alike.
namespace orlu {

class DrawingSurface;

struct TrendReportHeader {
    QString organisation; // settings: organisation and department lines
    QString department;
    QDateTime printedAt;
    bool singleColour = false; // the print mode "单色": everything black
};

// "O.R.L.U 能量趋势."
QString trendReportJobTitle();

ReportOutcome produceTrendReport(DrawingSurface &surface, const PageGeometry &geometry,
                                 const TrendSeries &series, const TrendReportHeader &header,
                                 const std::function<bool()> &aborted = {});

// The report as a print job; `series` and `header` are copied into it.
ReportJob trendReportJob(const TrendSeries &series, const TrendReportHeader &header);

} // namespace orlu
