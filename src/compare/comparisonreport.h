#pragma once

#include "charts/reportpage.h"
#include "compare/comparisonprintout.h"

#include <QDateTime>
#include <QString>

#include <functional>

// The printed comparison reports: a header, the compared records and the chart.
namespace orlu {

struct ComparisonReportHeader {
    QString organisation; // settings: organisation and department lines
    QString department;
    QDateTime printedAt;
    bool singleColour = false; // the print mode "单色": everything black
};

// Draws the whole report from the top of page 1 of `surface`; once `aborted` answers
// true nothing more is drawn.
ReportOutcome produceComparisonReport(DrawingSurface &surface, const PageGeometry &geometry,
                                      const ComparisonPrintout &printout,
                                      const ComparisonReportHeader &header,
                                      const std::function<bool()> &aborted = {});

// The report as a print job, titled "O.R.L.U 能量比对数据." or "O.R.L.U 多重能量比对数据.".
ReportJob comparisonReportJob(const ComparisonPrintout &printout, const ComparisonReportHeader &header);

// The multi-record chart alone at the top of a page, under its title, as the report prints it.
ReportOutcome produceComparisonChartPage(DrawingSurface &surface, const PageGeometry &geometry,
                                         const ComparisonChart &chart, bool singleColour);
ReportJob comparisonChartJob(const ComparisonChart &chart, bool singleColour);

} // namespace orlu
