// Bar and curve charts: the deviation of every channel from the body energy,
// in the paired channel order, on a scale where +-A reaches the edges.
#include "charts/charts.h"

#include "analysis/analysis.h"
#include "charts/chartcolours.h"
#include "charts/chartgeometry.h"
#include "charts/drawingsurface.h"
#include "core/numberformat.h"

#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

namespace C = ChartColour;

constexpr std::array<int, 3> LegendColumns{15, 18, 21};

bool hasScale(const AnalysisResult &r) {
    return std::isfinite(r.bodyEnergy) && r.bodyEnergy > 0;
}

// Axis, centre value, hand/foot separator, column borders and middles.
void drawFrameBeforeData(DrawingSurface &s, const ScreenFrame &f, const AnalysisResult &r) {
    s.setPen(C::Black, PenStyle::Solid, 3);
    s.line(f.L, 0, f.L, f.H);
    s.line(f.L, f.C, f.L + f.W, f.C);

    s.setBrushStyle(BrushStyle::None);
    s.text(0, f.C - 8, C::Navy, formatFixed(r.bodyEnergy, 7, 1));

    s.setPenWidth(2);
    s.line(f.L + f.W / 2, f.H, f.L + f.W / 2, f.H - (f.H / 10) * 8);

    s.setPenWidth(1);
    for (int i = 1; i <= 12; ++i) {
        if (i != 6) {
            s.setPenColor(C::Navy);
            s.setPenStyle(PenStyle::Dotted);
            const int x = f.L + chartPixel(f.Wr / 12 * i);
            s.line(x, f.C, x, f.H);
        }
        s.setPenColor(C::Gray);
        s.setPenStyle(PenStyle::Dotted);
        const int x = f.L + chartPixel(f.Wr / 24) + chartPixel(f.Wr / 12 * (i - 1));
        s.line(x, f.C, x, f.H - chartPixel(f.Hr / 10));
    }
}

// Band lines and texts, ticks, column captions.
void drawFrameAfterData(DrawingSurface &s, const ScreenFrame &f, const AnalysisResult &r) {
    if (hasScale(r)) {
        const BandLimits &b = r.bands;
        const int yU2 = excessY(b.u2, r.bodyEnergy, f.Cr);
        const int yU1 = excessY(b.u1, r.bodyEnergy, f.Cr);
        const int yD1 = excessY(-b.d1, r.bodyEnergy, f.Cr);
        const int yD2 = excessY(-b.d2, r.bodyEnergy, f.Cr);

        s.setPen(C::Red, PenStyle::Dotted, 1);
        s.line(f.L, yU2, f.L + f.W, yU2);
        s.line(f.L, yD2, f.L + f.W, yD2);
        s.setPenColor(C::Olive);
        s.line(f.L, yU1, f.L + f.W, yU1);
        s.line(f.L, yD1, f.L + f.W, yD1);

        s.setBrushStyle(BrushStyle::None);
        s.text(0, yU2 - 8, C::Red, u"+"_s + formatFixed(b.u2, 5, 1));
        s.text(0, yD2 - 8, C::Red, u"-"_s + formatFixed(b.d2, 5, 1));
        s.text(0, yU1 - 8, C::Olive, u"+"_s + formatFixed(b.u1, 5, 1));
        s.text(0, yD1 - 8, C::Olive, u"-"_s + formatFixed(b.d1, 5, 1));
    }

    s.setPenColor(C::Black);
    s.setPenStyle(PenStyle::Solid);
    for (int i = 1; i <= 18; ++i) {
        if (i == 10)
            continue;
        const int y = chartPixel(f.Hr / 20 * i);
        s.line(f.L, y, f.L + f.W / 80, y);
    }

    s.setBrushStyle(BrushStyle::None);
    for (int i = 1; i <= 12; ++i) {
        s.text(f.L + chartPixel(f.Wr / 12 * (i - 1) + 10), f.H - 46, C::Green, chartMeridianLabel(i));
        s.text(f.L + chartPixel(f.Wr / 12 * (i - 1) + 16), f.H - 30, C::Blue, chartElementLabel(i));
        if (i == 1)
            s.text(f.L + 10, f.H - 15, C::Red, u"左   右"_s);
        else if (i == 3)
            s.text(f.L + chartPixel(f.Wr / 12 * 2 + 35), f.H - 15, C::Red, u"Hands  手"_s);
        else if (i == 9)
            s.text(f.L + chartPixel(f.Wr / 12 * 8 + 35), f.H - 15, C::Red, u"Feet 足"_s);
    }
}

void drawLegendTexts(DrawingSurface &s, const ScreenFrame &f) {
    for (int level = 0; level < 3; ++level) {
        const int k = LegendColumns[static_cast<std::size_t>(level)];
        s.text(f.L + chartPixel(f.Wr / 24 * k + 32), 4, C::Blue, severityLegendText(level));
    }
}

} // namespace

void drawBarChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    const ScreenFrame f = ScreenFrame::forArea(area.width(), area.height());
    drawFrameBeforeData(s, f, r);

    s.setPen(C::Black, PenStyle::Solid, 1);
    if (hasScale(r)) {
        for (int j = 1; j <= 24; ++j) {
            const int c = PairedChannelOrder[static_cast<std::size_t>(j - 1)];
            const double d = r.deviation(c);
            const int x1 = f.L + chartPixel(f.Wr / 24 * (j - 1));
            const int x2 = chartPixel(f.Wr / 24 * j + f.L);
            s.setBrush(severityColour(r.grade(c)), severityHatch(r.grade(c)));
            int yb = excessY(d, r.bodyEnergy, f.Cr);
            // A bar beyond the area is cut just inside its edge.
            if (d >= 0 && yb < 5)
                yb = 5;
            else if (d < 0 && yb > f.H)
                yb = f.H - 5;
            s.rectangle(x1, chartPixel(f.Cr), x2, yb);
        }
    }

    drawFrameAfterData(s, f, r);

    s.setPen(C::Black, PenStyle::Solid, 1);
    for (int level = 0; level < 3; ++level) {
        const int k = LegendColumns[static_cast<std::size_t>(level)];
        s.setBrush(severityColour(level), severityHatch(level));
        s.rectangle(f.L + chartPixel(f.Wr / 24 * k) + 2, 0, f.L + chartPixel(f.Wr / 24 * k + 25), 20);
    }
    s.setBrushStyle(BrushStyle::None);
    drawLegendTexts(s, f);
}

void drawCurveChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    const ScreenFrame f = ScreenFrame::forArea(area.width(), area.height());
    drawFrameBeforeData(s, f, r);

    if (hasScale(r)) {
        for (int j = 1; j <= 24; ++j) {
            const int c = PairedChannelOrder[static_cast<std::size_t>(j - 1)];
            const int y = excessY(r.deviation(c), r.bodyEnergy, f.Cr);
            const int column = chartPixel(f.Wr / 24 * (j - 1));

            s.setPenStyle(PenStyle::None);
            s.setBrush(severityColour(r.grade(c)), BrushStyle::Solid);
            s.rectangle(f.L + column + 11, y - 4, chartPixel(f.Wr / 24 * (j - 1) + f.L + 19), y + 4);

            // Each segment is drawn after the marker it ends on, so the line lies over the markers.
            s.setBrushStyle(BrushStyle::None);
            s.setPen(C::Black, PenStyle::Dotted, 1);
            if (j == 1)
                s.moveTo(f.L + column + 15, y);
            else
                s.lineTo(f.L + column + 15, y);
        }
    }

    drawFrameAfterData(s, f, r);

    s.setPenStyle(PenStyle::None);
    for (int level = 0; level < 3; ++level) {
        const int k = LegendColumns[static_cast<std::size_t>(level)];
        s.setBrush(severityColour(level), BrushStyle::Solid);
        s.rectangle(f.L + chartPixel(f.Wr / 24 * k) + 10, 5, f.L + chartPixel(f.Wr / 24 * k + 22), 15);
    }
    s.setBrushStyle(BrushStyle::None);
    drawLegendTexts(s, f);
}

} // namespace orlu
