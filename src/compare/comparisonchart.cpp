#include "compare/comparisonchart.h"

#include "analysis/analysis.h"
#include "core/numberformat.h"
#include "charts/chartcolours.h"
#include "charts/chartgeometry.h"

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

namespace C = ChartColour;

void drawAxisAndGrid(DrawingSurface &s, const ComparisonFrame &f) {
    s.setBrushStyle(BrushStyle::None);
    s.setPen(C::Black, PenStyle::Solid, f.axisPen);
    s.line(f.left, f.top, f.left, f.top + f.height);

    // Twelve meridian columns; the wider line parts hand and foot meridians.
    s.setPen(f.ink(C::Gray), PenStyle::Dashed, f.thinPen);
    for (int i = 1; i <= 12; ++i) {
        s.setPenWidth(i == 6 ? f.separatorPen : f.thinPen);
        const int x = chartPixel(f.width * i / 12.0) + f.left;
        s.line(x, f.top + f.height / 18, x, f.top + f.height);
    }

    s.setPen(C::Black, PenStyle::Solid, f.thinPen);
    for (int i = 0; i <= 17; ++i) {
        const int y = f.top + f.height - chartPixel(f.height * i / 18.0);
        s.line(f.left, y, f.left + f.width / 80, y);
        s.text(f.tickLabelX, y + f.tickLabelDy, f.ink(C::Navy), formatInt(10 * i, 3));
    }
}

void drawColumnLabels(DrawingSurface &s, const ComparisonFrame &f) {
    for (int d = 0; d < 12; ++d) {
        const double column = f.width * d / 12.0;
        s.text(chartPixel(f.meridianDx + column) + f.left, f.meridianY, f.ink(C::Green),
               chartMeridianLabel(d + 1));
        s.text(chartPixel(f.elementDx + column) + f.left, f.elementY, f.ink(C::Blue),
               chartElementLabel(d + 1));
    }
    const QColor red = f.ink(C::Red);
    s.text(chartPixel(f.sideDx) + f.left, f.captionY, red, u"左   右"_s);
    s.text(chartPixel(f.handsDx + f.width * 2 / 12.0) + f.left, f.captionY, red, u"Hands  手"_s);
    s.text(chartPixel(f.feetDx + f.width * 8 / 12.0) + f.left, f.captionY, red, u"Feet 足"_s);
}

// A record's look on this frame: its own colours, or black on single-colour paper.
CurveStyle lookOf(const ComparisonFrame &f, const ComparisonCurve &curve) {
    if (!f.singleColour)
        return curve.style;
    return {C::Black, curve.style.penStyle, curve.number > 3 ? C::White : C::Black};
}

// Markers have no outline, except a white one, which would vanish on the white
// ground: it gets a thin outline in its curve's colour.
void setMarkerOutline(DrawingSurface &s, const ComparisonFrame &f, const CurveStyle &style) {
    if (style.marker.lightness() >= 240)
        s.setPen(style.pen, PenStyle::Solid, f.thinPen);
    else
        s.setPenStyle(PenStyle::None);
}

void drawLegend(DrawingSurface &s, const ComparisonFrame &f, const ComparisonCurve &curve, bool bandOwner) {
    const int base = f.legendBase(curve.legendSlot);
    if (bandOwner && f.ownerMark == BandOwnerMark::RedNumber)
        s.text(base, f.legendTextY, f.ink(C::Red), u"["_s + formatInt(curve.number, 2) + u"]:"_s);
    else
        s.text(base, f.legendTextY, C::Black, formatInt(curve.number, 2) + u":"_s);
    const CurveStyle look = lookOf(f, curve);
    s.setPen(look.pen, look.penStyle, f.curvePen);
    s.line(base + f.legendLineDx1, f.legendLineY, base + f.legendLineDx2, f.legendLineY);
    setMarkerOutline(s, f, look);
    s.setBrush(look.marker, BrushStyle::Solid);
    s.rectangle(base + f.legendBoxDx1, f.legendBoxY1, base + f.legendBoxDx2, f.legendBoxY2);
    s.setBrushStyle(BrushStyle::None);
}

void drawCurve(DrawingSurface &s, const ComparisonFrame &f, const ComparisonCurve &curve) {
    std::array<std::optional<QPoint>, 24> points;
    for (int i = 0; i < 24; ++i) {
        const auto c = static_cast<std::size_t>(PairedChannelOrder[static_cast<std::size_t>(i)] - 1);
        // A point never measured is no reading of 0 uA: it is left out.
        if (curve.corrected[c] != 0.0)
            points[static_cast<std::size_t>(i)] =
                QPoint(f.pointX(i), std::min(f.curveFloor, f.valueY(curve.corrected[c])));
    }
    const CurveStyle look = lookOf(f, curve);
    s.setBrushStyle(BrushStyle::None);
    s.setPen(look.pen, look.penStyle, f.curvePen);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!points[i])
            continue;
        if (i > 0 && points[i - 1])
            s.lineTo(points[i]->x(), points[i]->y());
        else
            s.moveTo(points[i]->x(), points[i]->y());
    }

    const int h = f.markerHalf;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!points[i])
            continue;
        const QPoint p = *points[i];
        const auto c = static_cast<std::size_t>(PairedChannelOrder[i] - 1);
        if (curve.doubtful[c]) {
            // A hollow ring, not a square: a doubtful reading, whatever the record's marker
            // (one of them is white), on screen and on any paper.
            s.setPen(look.pen, PenStyle::Solid, f.curvePen);
            s.setBrushStyle(BrushStyle::None);
            s.ellipse(p.x() - h - 1, p.y() - h - 1, p.x() + h + 1, p.y() + h + 1);
            continue;
        }
        setMarkerOutline(s, f, look);
        s.setBrush(look.marker, BrushStyle::Solid);
        s.rectangle(p.x() - h, p.y() - h, p.x() + h, p.y() + h);
    }
    s.setBrushStyle(BrushStyle::None);
}

void drawBand(DrawingSurface &s, const ComparisonFrame &f, const ComparisonCurve &owner) {
    if (f.ownerMark == BandOwnerMark::CrossBefore)
        s.text(f.legendBase(owner.legendSlot) + f.ownerMarkDx, f.legendTextY, f.ink(C::Red), u"XX"_s);
    const std::array<double, 4> values = comparisonBandValues(owner.energyLevel);
    s.setBrushStyle(BrushStyle::None);
    s.setPen(f.ink(C::Red), PenStyle::Dotted, f.thinPen);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i == 2)
            s.setPenColor(f.ink(C::Olive));
        const int y = f.bandY(values[i]);
        s.line(f.left, y, f.left + f.width, y);
    }
}

} // namespace

CurveStyle twoRecordStyle(int k) {
    if (k == 2)
        return {C::Teal, PenStyle::Dotted, C::Aqua};
    return {C::Blue, PenStyle::Dashed, C::Red};
}

CurveStyle multiRecordStyle(int k) {
    static const std::array<CurveStyle, 6> styles{{
        {C::Black, PenStyle::Dotted, C::Red},
        {C::Blue, PenStyle::Dashed, C::Yellow},
        {C::Maroon, PenStyle::DashDotDot, C::White},
        {C::Teal, PenStyle::Dotted, C::Aqua},
        {C::Purple, PenStyle::Dashed, C::Fuchsia},
        {C::Navy, PenStyle::DashDotDot, C::Lime},
    }};
    return styles[static_cast<std::size_t>(std::clamp(k, 1, 6) - 1)];
}

int printerMm(double mm, int dpi) {
    return chartPixel(mm * dpi / 25.4);
}

ComparisonFrame ComparisonFrame::screen(int areaWidth, int areaHeight) {
    ComparisonFrame f;
    f.width = areaWidth - 30;
    f.height = areaHeight - 30;
    f.meridianY = f.height - 16;
    f.curveFloor = f.meridianY - f.markerHalf - 1;
    f.elementY = f.height;
    f.captionY = f.height + 15;
    return f;
}

ComparisonFrame ComparisonFrame::printed(int dpi, int chartTop, BandOwnerMark ownerMark, bool singleColour) {
    auto mm = [dpi](double x) { return printerMm(x, dpi); };
    ComparisonFrame f;
    f.left = mm(30);
    f.top = chartTop;
    f.width = mm(150);
    f.height = mm(100);
    f.axisPen = mm(1) / 3;
    f.thinPen = mm(1) / 5;
    // A dotted or dash-dot-dot curve thinner than this breaks up on paper.
    f.curvePen = std::max(f.thinPen, printerMm(0.3, dpi));
    f.separatorPen = mm(1) / 2;
    f.tickLabelX = f.left - mm(8);
    f.tickLabelDy = -mm(2);
    const int bottom = f.top + f.height;
    f.meridianDx = mm(1);
    f.meridianY = bottom + mm(4);
    f.elementDx = mm(3);
    f.elementY = bottom + mm(8);
    f.sideDx = mm(1);
    f.handsDx = mm(8);
    f.feetDx = mm(8);
    f.captionY = bottom + mm(13);
    f.legendTextY = f.top - mm(6);
    f.legendLineDx1 = mm(10);
    f.legendLineDx2 = mm(20);
    f.legendLineY = f.top - mm(3);
    f.legendBoxDx1 = mm(14);
    f.legendBoxY1 = f.top - mm(4);
    f.legendBoxDx2 = mm(16);
    f.legendBoxY2 = f.top - mm(2);
    f.ownerMarkDx = -mm(5);
    f.curveDx = mm(4);
    f.markerHalf = mm(1);
    f.ownerMark = ownerMark;
    f.singleColour = singleColour;
    return f;
}

QColor ComparisonFrame::ink(const QColor &colour) const {
    return singleColour ? C::Black : colour;
}

int ComparisonFrame::valueY(double value) const {
    return top + height - chartPixel(height * value / 180.0);
}

int ComparisonFrame::bandY(double value) const {
    return top + chartPixel(height - height * value / 180.0);
}

int ComparisonFrame::pointX(int i) const {
    return left + chartPixel(width * i / 24.0) + curveDx;
}

int ComparisonFrame::legendBase(int slot) const {
    return chartPixel(width * slot / 7.0);
}

std::array<double, 4> comparisonBandValues(double energyLevel) {
    const BandLimits b = bandLimits(energyLevel);
    return {energyLevel + b.u2, energyLevel - b.d2, energyLevel + b.u1, energyLevel - b.d1};
}

QString comparisonMarksLegend() {
    return u"空心圆圈: 读数可疑；曲线中断处: 该点未测量"_s;
}

void drawComparisonChart(DrawingSurface &surface, const ComparisonFrame &frame,
                         const ComparisonChart &chart) {
    drawAxisAndGrid(surface, frame);
    drawColumnLabels(surface, frame);
    for (qsizetype k = 0; k < chart.curves.size(); ++k)
        drawLegend(surface, frame, chart.curves[k], chart.band == k);
    for (const ComparisonCurve &curve : chart.curves)
        drawCurve(surface, frame, curve);
    if (chart.band && *chart.band >= 0 && *chart.band < chart.curves.size())
        drawBand(surface, frame, chart.curves[*chart.band]);
}

} // namespace orlu
