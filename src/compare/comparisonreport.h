#pragma once

#include "compare/comparisonprintout.h"

#include <QDateTime>
#include <QString>

#include <functional>

// The printed comparison reports: a header, the compared records and the chart.
namespace orlu {

class DrawingSurface;

// What the reports need of a printed page: millimetres as printer pixels (a half to
// the even neighbour), the print width (at most 8 inches), the line height (mm(1) and
// the height of "X" in the 10-point report font) and the report font's sizes.
class ComparisonReportPage {
public:
    virtual ~ComparisonReportPage() = default;
    virtual DrawingSurface &surface() = 0;
    virtual int dpi() const = 0;
    virtual int mm(double x) const = 0;
    virtual int printWidth() const = 0;
    virtual int lineHeight() const = 0;
    virtual void setFontSize(double points) = 0;
    virtual int textWidth(const QString &text) const = 0;
    virtual bool aborted() const = 0;
};

struct ComparisonReportHeader {
    QString organisation; // settings: organisation and department lines
    QString department;
    QDateTime printedAt;
};

enum class ComparisonReportOutcome { Finished, Aborted };

// Draws the whole report from the top of the page; once the page answers aborted
// nothing more is drawn.
ComparisonReportOutcome produceComparisonReport(ComparisonReportPage &page,
                                                const ComparisonPrintout &printout,
                                                const ComparisonReportHeader &header);

} // namespace orlu
