#pragma once

#include "trend/trendseries.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

// The trend chart of one subject: body energy against its normal band, the four
// ratios each against its normal range, and the number of abnormal meridians, one
// column per visit in time order. Standard and High potential visits are drawn as
// separate lines, High with square markers. One drawing function serves the screen,
// images, paper and the tests.
namespace orlu {

class DrawingSurface;

inline constexpr QSize TrendChartSize{900, 600};

struct TrendChartStyle {
    // Pixels per screen pixel: 1 on screen, printer dpi / 96 on paper.
    double scale = 1.0;
    // Paper shows the acceptable verdicts olive (yellow would not show on white).
    bool paper = false;
    // Every colour black, bands hatched instead of filled.
    bool singleColour = false;
};

// Where the panels and the visit columns lie inside the chart's rectangle.
struct TrendLayout {
    QRect plot;                  // the columns' span, from the top of the first panel to the last's bottom
    QRect energy;                // body energy panel
    std::array<QRect, 4> ratios; // spirit, musculoskeletal, metabolism, autonomic
    QRect abnormal;              // abnormal meridians per visit
    int visits = 0;
    double columnWidth = 0.0;

    int columnCentre(int visit) const;
    // The visit whose column holds x, or -1 outside the columns.
    int visitAt(int x) const;
};
TrendLayout trendLayout(const QRect &area, int visits, const TrendChartStyle &style = {});

// Draws the chart into `area` (already filled with the background). `selected` is
// the index of the visit to highlight, -1 for none.
void drawTrendChart(DrawingSurface &surface, const TrendSeries &series, const QRect &area, int selected = -1,
                    const TrendChartStyle &style = {});

// The y range a ratio strip shows: its normal band with room around it, widened to
// the values but never beyond four band widths beyond the band (a far-off value is
// drawn at the edge).
struct ValueRange {
    double low = 0.0;
    double high = 1.0;
};
ValueRange ratioRange(const TrendSeries &series, int ratio);
ValueRange energyRange(const TrendSeries &series);

// The chart on an image of `size`, filled with `background` first, in the screen font.
QImage renderTrendImage(const TrendSeries &series, const QColor &background, QSize size = TrendChartSize,
                        int selected = -1);

} // namespace orlu
