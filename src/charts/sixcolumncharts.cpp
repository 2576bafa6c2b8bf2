// Yin-yang, qi-blood and the two five-element charts: six columns of meridian
// pairs or elements, each point at the height of a sum of deviations, with a
// warning triangle over a column whose series lie too far apart or too far out.
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

std::size_t at(int k) {
    return static_cast<std::size_t>(k - 1);
}

double dev(const AnalysisResult &r, int m, Side side) {
    return r.deviation(channelOf(m, side));
}

const std::array<ElementColumn, 6> &columnsOf(ElementChartOrder order) {
    return order == ElementChartOrder::Generating ? generatingOrder() : controllingOrder();
}

struct SixColumnStyle {
    QColor yinLabel;
    QColor yangLabel;
    const std::array<ElementColumn, 6> *columns;
    double centreValue;
};

class SixColumnFrame {
public:
    SixColumnFrame(DrawingSurface &s, const ChartFrame &f)
        : m_s(s)
        , m_f(f) {}

    const ChartFrame &frame() const { return m_f; }
    int x(int k) const { return m_f.x0 + chartPixel(m_f.wr / 6 * k) - chartPixel(m_f.wr / 12); }
    // A square (or, `round`, a circle) of half-size `half` centred on column k at height y.
    void marker(int k, int y, int half, bool round = false) const {
        const int base = m_f.x0 - chartPixel(m_f.wr / 12);
        const int x1 = base + chartPixel(m_f.wr / 6 * k - half);
        const int x2 = base + chartPixel(m_f.wr / 6 * k + half);
        if (round)
            m_s.ellipse(x1, y - half, x2, y + half);
        else
            m_s.rectangle(x1, y - half, x2, y + half);
    }
    int y(double v, double unitsToEdge) const {
        return m_f.y0 + chartPixel(m_f.cr - m_f.hr / unitsToEdge * v);
    }
    // A marker's height held in the free part of the plot, so a value beyond it stands on its
    // edge instead of on a text: above the captions, below the warning triangles and, in the
    // columns whose lines reach under the legend (`withLegend`), below the legend.
    int held(int k, int y, int half, bool withLegend) const {
        int top = m_f.y0 + m_f.len(17, 4);
        if (withLegend && x(std::min(k + 1, 6)) > legendLeft())
            top = std::max(m_f.y0 + m_f.len(85, 15), m_f.y0 + m_f.len(74, 13) + m_s.textHeight(u"M"_s));
        const int gap = m_f.len(2, 0.5);
        return std::clamp(y, top + gap + half, captionsTop() - gap - half);
    }
    // The triangle at the top of column k.
    void warning(int k, const QColor &colour) const {
        const int xk = x(k);
        const int wing = m_f.len(8, 2);
        const int base = m_f.y0 + m_f.len(17, 4);
        m_s.setPenStyle(PenStyle::None);
        m_s.setBrush(m_f.ink(colour), BrushStyle::Solid);
        m_s.polygon({QPoint(xk + wing, base), QPoint(xk, m_f.y0 + m_f.len(1, 1)), QPoint(xk - wing, base)});
    }

    void before(const SixColumnStyle &style) {
        m_s.setPen(m_f.ink(C::Black), PenStyle::Solid, m_f.pen(3, 6));
        m_s.line(m_f.x0, m_f.y0, m_f.x0, m_f.y0 + m_f.h);
        m_s.line(m_f.x0, m_f.y0 + m_f.c, m_f.x0 + m_f.w, m_f.y0 + m_f.c);
        m_s.setBrushStyle(BrushStyle::None);
        drawLeftOfAxis(m_s, m_f, 0, m_f.y0 + m_f.c - m_f.len(8, 2), C::Red,
                       formatFixed(style.centreValue, 7, 1));
        m_s.setPenWidth(1);
        columnLines();
        m_s.setPen(m_f.ink(C::Black), PenStyle::Solid, 1);
    }

    // Band lines at the given limits on the 200-unit scale, ticks, captions, column lines.
    void after(const SixColumnStyle &style, double u1, double u2, double d1, double d2, int bandDivisor) {
        m_s.setPen(m_f.ink(C::Red), PenStyle::Dotted, m_f.pen(1, bandDivisor));
        bandLine(y(u2, 200));
        bandLine(y(-d2, 200));
        m_s.setPenColor(m_f.ink(C::Olive));
        bandLine(y(u1, 200));
        bandLine(y(-d1, 200));

        m_s.setPenColor(m_f.ink(C::Black));
        m_s.setPenStyle(PenStyle::Solid);
        for (int i = 1; i <= 19; ++i) {
            if (i == 10)
                continue;
            const int ty = m_f.y0 + chartPixel(m_f.hr / 20 * i);
            m_s.line(m_f.x0, ty, m_f.x0 + m_f.w / 80, ty);
            const QString label =
                i > 10 ? u"-"_s + formatInt(10 * i - 100, 4) : u"+"_s + formatInt(100 - 10 * i, 4);
            drawLeftOfAxis(m_s, m_f, 5, tickLabelY(m_s, m_f, ty, 8), C::Black, label);
        }

        m_s.setBrushStyle(BrushStyle::None);
        const int bottom = m_f.y0 + m_f.h;
        for (int k = 1; k <= 6; ++k) {
            const ElementColumn &column = (*style.columns)[at(k)];
            const int xk = x(k);
            drawCaption(m_s, m_f, xk, xk - 20, captionsTop(), style.yinLabel, m_f.meridianLabel(column.yin));
            drawCaption(m_s, m_f, xk, xk - 20, bottom - m_f.len(34, 8), style.yangLabel,
                        m_f.meridianLabel(column.yang));
            drawCaption(m_s, m_f, xk, xk - 28, bottom - m_f.len(16, 4), C::Blue,
                        elementCaption(column.element));
        }
        columnLines();
    }

    // Two series lines with their markers, and the texts naming them, near the
    // right end measured from the left edge of the area (or printable area).
    void legend(const QString &firstText, const QString &secondText) {
        const int wt = m_f.w;
        const int x1 = legendLeft();
        const int x2 = wt - m_f.len(60, 10);
        const int markerLeft = wt - m_f.len(84, 15);
        const int markerRight = wt - m_f.len(76, 13);
        firstSeriesPen();
        m_s.line(x1, m_f.y0 + m_f.len(45, 7), x2, m_f.y0 + m_f.len(45, 7));
        m_s.setPenStyle(PenStyle::None);
        m_s.setBrush(m_f.ink(C::Red), BrushStyle::Solid);
        legendMarker(markerLeft, m_f.y0 + m_f.len(40, 6), markerRight, m_f.y0 + m_f.len(50, 8),
                     roundFirstMarkers());
        secondSeriesPen();
        m_s.line(x1, m_f.y0 + m_f.len(80, 14), x2, m_f.y0 + m_f.len(80, 14));
        m_s.setPenStyle(PenStyle::None);
        m_s.setBrushColor(m_f.ink(C::Green));
        legendMarker(markerLeft, m_f.y0 + m_f.len(75, 13), markerRight, m_f.y0 + m_f.len(85, 15), false);
        m_s.setBrushStyle(BrushStyle::None);
        m_s.text(wt - m_f.len(45, 6), m_f.y0 + m_f.len(39, 6), m_f.ink(C::Red), firstText);
        m_s.text(wt - m_f.len(45, 6), m_f.y0 + m_f.len(74, 13), m_f.ink(C::Green), secondText);
    }

    void firstSeriesPen() { m_s.setPen(m_f.ink(C::Black), PenStyle::Dotted, m_f.pen(1, 6)); }
    void secondSeriesPen() { m_s.setPen(m_f.ink(C::Blue), PenStyle::Solid, m_f.pen(1, 5)); }
    // In single colour the two series' markers differ in shape instead of colour.
    bool roundFirstMarkers() const { return m_f.printed && m_f.singleColour; }

private:
    int captionsTop() const { return m_f.y0 + m_f.h - m_f.len(50, 12); }
    int legendLeft() const { return m_f.w - m_f.len(100, 18); }
    void legendMarker(int x1, int y1, int x2, int y2, bool round) {
        if (round)
            m_s.ellipse(x1, y1, x2, y2);
        else
            m_s.rectangle(x1, y1, x2, y2);
    }
    QString elementCaption(ElementGroup g) const {
        return m_f.printed ? sixColumnElementLabel(g).trimmed() : sixColumnElementLabel(g);
    }
    // On paper they end above the captions, which are centred on them: a line through
    // "心包经" would cross out its middle character. The screen keeps its own form.
    void columnLines() {
        m_s.setPen(m_f.ink(C::Gray), PenStyle::Dotted, m_f.pen(1, 6));
        const int full = m_f.y0 + m_f.h - (m_f.h / 20) * 2;
        const int bottom = m_f.printed ? std::min(full, captionsTop() - m_f.len(2, 0.5)) : full;
        for (int k = 1; k <= 6; ++k)
            m_s.line(x(k), m_f.y0 + m_f.h / 20, x(k), bottom);
    }
    void bandLine(int by) { m_s.line(m_f.x0, by, m_f.x0 + m_f.w, by); }

    DrawingSurface &m_s;
    ChartFrame m_f;
};

void drawPairChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &f, const PairSeries &series,
                   const SixColumnStyle &style, const QString &firstText, const QString &secondText) {
    SixColumnFrame frame(s, f);
    frame.before(style);

    const BandLimits &b = r.bands;
    const int half = f.len(4, 1);
    for (int p = 1; p <= 12; ++p) {
        const bool first = p <= 6;
        const int k = first ? p : p - 6;
        const double value = first ? series.first[at(k)] : series.second[at(k)];
        const int y = frame.held(k, frame.y(value, 200), half, true);

        s.setPenStyle(PenStyle::None);
        s.setBrush(f.ink(first ? C::Red : C::Green), BrushStyle::Solid);
        frame.marker(k, y, half, first && frame.roundFirstMarkers());
        s.setBrushStyle(BrushStyle::None);
        if (first)
            frame.firstSeriesPen();
        else
            frame.secondSeriesPen();
        if (k == 1)
            s.moveTo(frame.x(k), y);
        else
            s.lineTo(frame.x(k), y);

        if (first) {
            // Summed over two channels, so the pair limits are doubled.
            const double diff = std::fabs(series.first[at(k)] - series.second[at(k)]);
            if (diff >= 2 * (b.u1 + b.d1))
                frame.warning(k, diff < 2 * (b.u2 + b.d2) ? f.gradeInk(1, true) : C::Red);
        }
    }

    frame.after(style, 2 * b.u1, 2 * b.u2, 2 * b.d1, 2 * b.d2, 5);
    frame.legend(firstText, secondText);
}

void drawElementChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &f,
                      ElementChartOrder order) {
    // On paper the meridian rows are told apart by colour like the yin-yang chart's.
    const SixColumnStyle style{f.printed ? C::Red : C::Maroon, f.printed ? C::Green : C::Maroon,
                               &columnsOf(order), 0.0};
    SixColumnFrame frame(s, f);
    frame.before(style);

    const BandLimits &b = r.bands;
    const std::array<double, 6> values = elementValues(r, order);
    const QColor marker = order == ElementChartOrder::Generating || f.printed ? C::Green : C::Red;
    const int half = f.len(6, 1);
    for (int k = 1; k <= 6; ++k) {
        const double e = values[at(k)];
        const int y = frame.held(k, frame.y(e, 400), half, false);

        s.setPenStyle(PenStyle::None);
        s.setBrush(f.ink(marker), BrushStyle::Solid);
        frame.marker(k, y, half);
        s.setBrushStyle(BrushStyle::None);
        s.setPen(f.ink(C::Navy), PenStyle::Dotted, f.pen(1, 5));
        if (k == 1)
            s.moveTo(frame.x(k), y);
        else
            s.lineTo(frame.x(k), y);

        if (std::fabs(e) >= b.u1 + b.d1)
            frame.warning(k, std::fabs(e) < b.u2 + b.d2 ? C::Yellow : C::Red);
    }

    frame.after(style, b.u1, b.u2, b.d1, b.d2, 6);
}

} // namespace

PairSeries yinYangSeries(const AnalysisResult &r) {
    PairSeries series;
    for (int k = 1; k <= 6; ++k) {
        const ElementColumn &column = generatingOrder()[at(k)];
        series.first[at(k)] = dev(r, column.yin, Side::Left) + dev(r, column.yin, Side::Right);
        series.second[at(k)] = dev(r, column.yang, Side::Left) + dev(r, column.yang, Side::Right);
    }
    return series;
}

PairSeries qiBloodSeries(const AnalysisResult &r) {
    PairSeries series;
    for (int k = 1; k <= 6; ++k) {
        const ElementColumn &column = generatingOrder()[at(k)];
        series.first[at(k)] = dev(r, column.yin, Side::Left) + dev(r, column.yang, Side::Left);
        series.second[at(k)] = dev(r, column.yin, Side::Right) + dev(r, column.yang, Side::Right);
    }
    return series;
}

std::array<double, 6> elementValues(const AnalysisResult &r, ElementChartOrder order) {
    std::array<double, 6> values{};
    for (int k = 1; k <= 6; ++k) {
        const ElementColumn &column = columnsOf(order)[at(k)];
        values[at(k)] = (dev(r, column.yin, Side::Left) + dev(r, column.yin, Side::Right) +
                         dev(r, column.yang, Side::Left) + dev(r, column.yang, Side::Right)) /
                        1.8;
    }
    return values;
}

void drawYinYangChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &f) {
    const SixColumnStyle style{C::Red, C::Green, &generatingOrder(), 2 * r.bodyEnergy};
    drawPairChart(s, r, f, yinYangSeries(r), style, u"阴脏"_s, u"阳腑"_s);
}

void drawQiBloodChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &f) {
    // On paper the two meridian rows are red and green, as in the yin-yang chart.
    const SixColumnStyle style{f.printed ? C::Red : C::Green, C::Green, &generatingOrder(), 2 * r.bodyEnergy};
    drawPairChart(s, r, f, qiBloodSeries(r), style, u"左侧"_s, u"右侧"_s);
}

void drawGeneratingChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &f) {
    drawElementChart(s, r, f, ElementChartOrder::Generating);
}

void drawControllingChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &f) {
    drawElementChart(s, r, f, ElementChartOrder::Controlling);
}

void drawYinYangChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    drawYinYangChart(s, r, ChartFrame::screen(area));
}

void drawQiBloodChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    drawQiBloodChart(s, r, ChartFrame::screen(area));
}

void drawGeneratingChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    drawGeneratingChart(s, r, ChartFrame::screen(area));
}

void drawControllingChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    drawControllingChart(s, r, ChartFrame::screen(area));
}

} // namespace orlu
