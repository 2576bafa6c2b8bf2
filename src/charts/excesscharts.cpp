// Bar and curve charts: the deviation of every channel from the body energy,
// in the paired channel order, on a scale where +-A reaches the edges.
#include "charts/charts.h"

#include "analysis/analysis.h"
#include "charts/chartcolours.h"
#include "charts/chartframe.h"
#include "charts/chartgeometry.h"
#include "charts/drawingsurface.h"
#include "core/numberformat.h"

#include <algorithm>
#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

namespace C = ChartColour;

enum class ExcessKind { Bar, Curve };

// The three grade levels of the legend stand over these columns of 24.
int legendColumn(const ChartFrame &f, int level) {
    static constexpr std::array<int, 3> Screen{15, 18, 21};
    static constexpr std::array<int, 3> Paper{14, 18, 22};
    return (f.printed ? Paper : Screen)[static_cast<std::size_t>(level)];
}

bool hasScale(const AnalysisResult &r) {
    return std::isfinite(r.bodyEnergy) && r.bodyEnergy > 0;
}

int excessPlotY(const ChartFrame &f, double d, const AnalysisResult &r) {
    return f.y0 + excessY(d, r.bodyEnergy, f.cr);
}

// The top of the column captions in the plot's foot.
int captionsTop(const ChartFrame &f) {
    return f.y0 + f.h - f.len(46, 7);
}

// The free part of the plot, where the data stand: above the column captions in its foot
// and, in the columns under the legend, below the legend.
class DataBand {
public:
    DataBand(DrawingSurface &s, const ChartFrame &f, ExcessKind kind)
        : m_f(f)
        , m_gap(f.len(2, 0.5))
        , m_legendLeft(f.x0 + chartPixel(f.wr / 24 * legendColumn(f, 0)))
        , m_bottom(captionsTop(f) - m_gap) {
        const int textBottom = f.printed ? f.y0 - f.lineHeight + (kind == ExcessKind::Bar ? f.mm(1) : 0) : 4;
        const int boxBottom = f.printed ? f.y0 - f.lineHeight + f.mm(kind == ExcessKind::Bar ? 5 : 3)
                                        : (kind == ExcessKind::Bar ? 20 : 15);
        m_legendBottom = std::max(boxBottom, textBottom + s.textHeight(u"M"_s));
    }
    // The highest y column j (1..24) may use, `top` where no legend is above it.
    int top(int j, int top) const {
        const bool underLegend = m_f.x0 + chartPixel(m_f.wr / 24 * (j + 1)) > m_legendLeft;
        return underLegend ? std::max(top, m_legendBottom + m_gap) : top;
    }
    int bottom() const { return m_bottom; }

private:
    const ChartFrame &m_f;
    int m_gap;
    int m_legendLeft;
    int m_bottom;
    int m_legendBottom = 0;
};

// Axis, centre value, hand/foot separator, column borders and middles.
void drawFrameBeforeData(DrawingSurface &s, const ChartFrame &f, const AnalysisResult &r) {
    const int bottom = f.y0 + f.h;
    s.setPen(f.ink(C::Black), PenStyle::Solid, f.pen(3, 5));
    s.line(f.x0, f.y0, f.x0, bottom);
    s.line(f.x0, f.y0 + f.c, f.x0 + f.w + f.len(0, 2), f.y0 + f.c);

    s.setBrushStyle(BrushStyle::None);
    drawLeftOfAxis(s, f, 0, f.y0 + f.c - f.len(8, 2), C::Navy, formatFixed(r.bodyEnergy, 7, 1));

    s.setPenWidth(f.pen(2, 5));
    s.line(f.x0 + f.w / 2, bottom, f.x0 + f.w / 2, bottom - (f.h / 10) * 8);

    s.setPenWidth(f.pen(1, 8));
    for (int i = 1; i <= 12; ++i) {
        if (i != 6) {
            s.setPenColor(f.ink(C::Navy));
            s.setPenStyle(PenStyle::Dotted);
            const int x = f.x0 + chartPixel(f.wr / 12 * i);
            s.line(x, f.y0 + f.c, x, bottom);
        }
        s.setPenColor(f.ink(C::Gray));
        s.setPenStyle(PenStyle::Dotted);
        const int x = f.x0 + chartPixel(f.wr / 24) + chartPixel(f.wr / 12 * (i - 1));
        s.line(x, f.y0 + f.c, x, bottom - chartPixel(f.hr / 10));
    }
}

// Band lines and texts, ticks, column captions.
void drawFrameAfterData(DrawingSurface &s, const ChartFrame &f, const AnalysisResult &r, ExcessKind kind) {
    if (hasScale(r)) {
        const BandLimits &b = r.bands;
        const int yU2 = excessPlotY(f, b.u2, r);
        const int yU1 = excessPlotY(f, b.u1, r);
        const int yD1 = excessPlotY(f, -b.d1, r);
        const int yD2 = excessPlotY(f, -b.d2, r);

        s.setPen(f.ink(C::Red), PenStyle::Dotted, f.pen(1, 7));
        s.line(f.x0, yU2, f.x0 + f.w, yU2);
        s.line(f.x0, yD2, f.x0 + f.w, yD2);
        s.setPenColor(f.ink(C::Olive));
        s.line(f.x0, yU1, f.x0 + f.w, yU1);
        s.line(f.x0, yD1, f.x0 + f.w, yD1);

        s.setBrushStyle(BrushStyle::None);
        const int above = f.len(8, 2);
        drawLeftOfAxis(s, f, 0, yU2 - above, C::Red, u"+"_s + formatFixed(b.u2, 5, 1));
        drawLeftOfAxis(s, f, 0, yD2 - above, C::Red, u"-"_s + formatFixed(b.d2, 5, 1));
        drawLeftOfAxis(s, f, 0, yU1 - above, C::Olive, u"+"_s + formatFixed(b.u1, 5, 1));
        drawLeftOfAxis(s, f, 0, yD1 - above, C::Olive, u"-"_s + formatFixed(b.d1, 5, 1));
    }

    s.setPenColor(f.ink(C::Black));
    s.setPenStyle(PenStyle::Solid);
    const int tick = kind == ExcessKind::Bar ? f.len(f.w / 80, 2) : f.w / 80;
    for (int i = 1; i <= 18; ++i) {
        if (i == 10)
            continue;
        const int y = f.y0 + chartPixel(f.hr / 20 * i);
        s.line(f.x0, y, f.x0 + tick, y);
    }

    s.setBrushStyle(BrushStyle::None);
    const int bottom = f.y0 + f.h;
    for (int i = 1; i <= 12; ++i) {
        const double centre = f.x0 + f.wr / 12 * (i - 1) + f.wr / 24;
        drawCaption(s, f, centre, f.x0 + chartPixel(f.wr / 12 * (i - 1) + 10), captionsTop(f), C::Green,
                    f.meridianLabel(i));
        drawCaption(s, f, centre, f.x0 + chartPixel(f.wr / 12 * (i - 1) + 16), bottom - f.len(30, 3), C::Blue,
                    f.elementLabel(i));
        if (i == 1)
            drawHandFootCaption(s, f, i, f.x0 + 10, bottom - 15);
        else if (i == 3 || i == 9)
            drawHandFootCaption(s, f, i, f.x0 + chartPixel(f.wr / 12 * (i - 1) + 35), bottom - 15);
    }
}

void drawLegendTexts(DrawingSurface &s, const ChartFrame &f, int paperOffsetMm, int paperDrop) {
    for (int level = 0; level < 3; ++level) {
        const int k = legendColumn(f, level);
        if (f.printed)
            s.text(f.x0 + chartPixel(f.mm(paperOffsetMm) + f.wr / 24 * k), f.y0 - f.lineHeight + paperDrop,
                   f.ink(C::Black), severityLegendText(level));
        else
            s.text(f.x0 + chartPixel(f.wr / 24 * k + 32), 4, C::Blue, severityLegendText(level));
    }
}

} // namespace

void drawBarChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &f) {
    drawFrameBeforeData(s, f, r);

    s.setPen(f.ink(C::Black), PenStyle::Solid, f.pen(1, 5));
    if (hasScale(r)) {
        const DataBand band(s, f, ExcessKind::Bar);
        for (int j = 1; j <= 24; ++j) {
            const int c = PairedChannelOrder[static_cast<std::size_t>(j - 1)];
            const double d = r.deviation(c);
            const int x1 = f.x0 + chartPixel(f.wr / 24 * (j - 1));
            const int x2 = chartPixel(f.wr / 24 * j + f.x0);
            s.setBrush(f.gradeInk(r.grade(c), true), severityHatch(r.grade(c)));
            // A bar beyond the free part of the plot is cut at its edge: 5 pixels inside the
            // top, above the captions at the foot, below the legend.
            const int yb = std::clamp(excessPlotY(f, d, r), band.top(j, f.y0 + 5), band.bottom());
            s.rectangle(x1, f.y0 + chartPixel(f.cr), x2, yb);
        }
    }

    drawFrameAfterData(s, f, r, ExcessKind::Bar);

    s.setPen(f.ink(C::Black), PenStyle::Solid, f.pen(1, 6));
    for (int level = 0; level < 3; ++level) {
        const int k = legendColumn(f, level);
        s.setBrush(f.gradeInk(level, true), severityHatch(level));
        if (f.printed)
            s.rectangle(f.x0 + chartPixel(f.wr / 24 * k), f.y0 - f.lineHeight,
                        f.x0 + chartPixel(f.mm(7) + f.wr / 24 * k), f.y0 - f.lineHeight + f.mm(5));
        else
            s.rectangle(f.x0 + chartPixel(f.wr / 24 * k) + 2, 0, f.x0 + chartPixel(f.wr / 24 * k + 25), 20);
    }
    s.setBrushStyle(BrushStyle::None);
    drawLegendTexts(s, f, 8, f.mm(1));
}

void drawCurveChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &f) {
    drawFrameBeforeData(s, f, r);

    if (hasScale(r)) {
        const DataBand band(s, f, ExcessKind::Curve);
        const int half = f.len(4, 1);
        for (int j = 1; j <= 24; ++j) {
            const int c = PairedChannelOrder[static_cast<std::size_t>(j - 1)];
            // A point beyond the free part of the plot stands on its edge.
            const int y =
                std::clamp(excessPlotY(f, r.deviation(c), r), band.top(j, f.y0) + half, band.bottom() - half);
            const int column = chartPixel(f.wr / 24 * (j - 1));

            drawGradeMark(s, f, r.grade(c), true, f.x0 + column + f.len(11, 2), y - half,
                          chartPixel(f.wr / 24 * (j - 1) + f.x0 + f.len(19, 4)), y + half);

            // Each segment is drawn after the marker it ends on, so the line lies over the markers.
            s.setBrushStyle(BrushStyle::None);
            s.setPen(f.ink(C::Black), PenStyle::Dotted, f.pen(1, 5));
            if (j == 1)
                s.moveTo(f.x0 + column + f.len(15, 3), y);
            else
                s.lineTo(f.x0 + column + f.len(15, 3), y);
        }
    }

    drawFrameAfterData(s, f, r, ExcessKind::Curve);

    for (int level = 0; level < 3; ++level) {
        const int k = legendColumn(f, level);
        if (f.printed)
            drawGradeMark(s, f, level, true, f.x0 + chartPixel(f.wr / 24 * k), f.y0 - f.lineHeight,
                          f.x0 + chartPixel(f.mm(3) + f.wr / 24 * k), f.y0 - f.lineHeight + f.mm(3));
        else
            drawGradeMark(s, f, level, true, f.x0 + chartPixel(f.wr / 24 * k) + 10, 5,
                          f.x0 + chartPixel(f.wr / 24 * k + 22), 15);
    }
    s.setBrushStyle(BrushStyle::None);
    drawLegendTexts(s, f, 5, 0);
}

void drawBarChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    drawBarChart(s, r, ChartFrame::screen(area));
}

void drawCurveChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    drawCurveChart(s, r, ChartFrame::screen(area));
}

} // namespace orlu
