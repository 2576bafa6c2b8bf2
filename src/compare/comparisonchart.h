#pragma once

#include "charts/drawingsurface.h"

#include <QColor>
#include <QList>

#include <array>
#include <limits>
#include <optional>

// The comparison chart: up to six measurements as curves over one 0..180 uA
// scale, with the excess and deficiency band of one of them. One drawing serves
// the two comparison windows, their printouts and the command line; only the
// frame differs between screen and paper.
namespace orlu {

// How a record's curve, legend line and markers look.
struct CurveStyle {
    QColor pen;
    PenStyle penStyle = PenStyle::Solid;
    QColor marker;
};

// Styles of the two-record comparison: 1 the current measurement, 2 the loaded one.
CurveStyle twoRecordStyle(int k);
// Styles of the multi-record comparison, k = 1..6: entry k is drawn in style k.
CurveStyle multiRecordStyle(int k);

struct ComparisonCurve {
    std::array<double, 24> corrected{}; // channel order 1..24; drawn in the paired order
    // Doubtful readings get a hollow ring; an unmeasured point (0) no marker, and the curve
    // breaks there.
    std::array<bool, 24> doubtful{};
    double energyLevel = 0; // centre of the record's band
    CurveStyle style;
    int number = 1;     // the legend's record number
    int legendSlot = 1; // the legend stands at x = rnd(chart width x slot / 7)
};

// What the owner of the drawn band shows in the legend, on paper.
enum class BandOwnerMark {
    None,
    CrossBefore, // a red "XX" left of its legend (two-record printout)
    RedNumber,   // its number in red as "[ n]:" (multi-record printout)
};

struct ComparisonChart {
    QList<ComparisonCurve> curves;
    std::optional<int> band; // index into `curves` of the record whose band is drawn
};

// Where and how thick everything is. Screen and paper differ only here.
struct ComparisonFrame {
    int left = 30;   // x of the vertical axis
    int top = 0;     // y of the scale's top (180 uA)
    int width = 570; // W: the scale's width to the right of the axis
    int height = 387;

    int axisPen = 3;
    int thinPen = 1;  // grid, ticks, legend lines, band lines
    int curvePen = 1; // the records' curves
    int separatorPen = 2;

    int tickLabelX = 2;
    int tickLabelDy = -6;
    int meridianDx = 5;
    int meridianY = 371;
    int elementDx = 12;
    int elementY = 387;
    int sideDx = 7;
    int handsDx = 24;
    int feetDx = 32;
    int captionY = 402;

    // Legend, relative to its base x and absolute in y.
    int legendTextY = 2;
    int legendLineDx1 = 20;
    int legendLineDx2 = 64;
    int legendLineY = 10;
    int legendBoxDx1 = 38;
    int legendBoxY1 = 6;
    int legendBoxDx2 = 46;
    int legendBoxY2 = 15;
    int ownerMarkDx = 0; // the "XX" mark, relative to the owner's legend base

    int curveDx = 12;   // point i at left + rnd(width x i / 24) + curveDx
    int markerHalf = 3; // markers are squares of twice this size
    // The lowest y a curve point takes: on screen the meridian labels stand inside
    // the plot's foot, and values under about 9 uA rest just above them.
    int curveFloor = std::numeric_limits<int>::max();
    BandOwnerMark ownerMark = BandOwnerMark::None;
    // Paper in single colour: everything black; records 4 to 6 get hollow markers, so the
    // six records still differ by line style and marker.
    bool singleColour = false;

    // The chart area of a window: axis at x = 30, W = w - 30, H = h - 30.
    static ComparisonFrame screen(int areaWidth, int areaHeight);
    // The printed chart 150 x 100 mm at 30 mm from the page's left edge, top at `chartTop`.
    static ComparisonFrame printed(int dpi, int chartTop, BandOwnerMark ownerMark, bool singleColour = false);

    // A colour as printed: black in single colour.
    QColor ink(const QColor &colour) const;

    // y of a value on the 0..180 scale; values above 180 lie above the top.
    int valueY(double value) const;
    // y of a band line (rounded once, over the whole distance from the top).
    int bandY(double value) const;
    // x of plot position i = 0..23.
    int pointX(int i) const;
    int legendBase(int slot) const;
};

// Window design size of the comparison chart areas.
inline constexpr int TwoRecordChartWidth = 600;
inline constexpr int MultiRecordChartWidth = 604;
inline constexpr int ComparisonChartHeight = 417;

// Millimetres as printer pixels at `dpi`: rnd(mm x dpi / 25.4).
int printerMm(double mm, int dpi);

// The four band values of an energy level E: E + 21 S, E - 20 S (outer pair),
// E + 11.5 S, E - 10.5 S (inner pair), S the band scale of E.
std::array<double, 4> comparisonBandValues(double energyLevel);

// What the chart's marks of doubtful and unmeasured points mean, for a line beside it.
QString comparisonMarksLegend();

// Frame, ticks and labels, legend, curves and band, in this order, over an area the
// caller has filled already.
void drawComparisonChart(DrawingSurface &surface, const ComparisonFrame &frame, const ComparisonChart &chart);

} // namespace orlu
