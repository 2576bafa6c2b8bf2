// Yin-yang, qi-blood and the two five-element charts: six columns of meridian
// pairs or elements, each point at the height of a sum of deviations, with a
// warning triangle over a column whose series lie too far apart or too far out.
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
    SixColumnFrame(DrawingSurface &s, QSize area)
        : m_s(s)
        , m_f(ScreenFrame::forArea(area.width(), area.height()))
        , m_areaWidth(area.width()) {}

    int x(int k) const { return m_f.L + chartPixel(m_f.Wr / 6 * k) - chartPixel(m_f.Wr / 12); }
    // A square of half-size `half` centred on column k at height y.
    void square(int k, int y, int half) const {
        const int base = m_f.L - chartPixel(m_f.Wr / 12);
        m_s.rectangle(base + chartPixel(m_f.Wr / 6 * k - half), y - half,
                      base + chartPixel(m_f.Wr / 6 * k + half), y + half);
    }
    int y(double v, double unitsToEdge) const { return chartPixel(m_f.Cr - m_f.Hr / unitsToEdge * v); }
    // The triangle at the top of column k.
    void warning(int k, const QColor &colour) const {
        m_s.setPenStyle(PenStyle::None);
        m_s.setBrush(colour, BrushStyle::Solid);
        m_s.polygon({QPoint(x(k) + 8, 17), QPoint(x(k), 1), QPoint(x(k) - 8, 17)});
    }

    void before(const SixColumnStyle &style) {
        m_s.setPen(C::Black, PenStyle::Solid, 3);
        m_s.line(m_f.L, 0, m_f.L, m_f.H);
        m_s.line(m_f.L, m_f.C, m_f.L + m_f.W, m_f.C);
        m_s.setBrushStyle(BrushStyle::None);
        m_s.text(0, m_f.C - 8, C::Red, formatFixed(style.centreValue, 7, 1));
        m_s.setPenWidth(1);
        columnLines();
        m_s.setPen(C::Black, PenStyle::Solid, 1);
    }

    // Band lines at the given limits on the 200-unit scale, ticks, captions, column lines.
    void after(const SixColumnStyle &style, double u1, double u2, double d1, double d2) {
        m_s.setPen(C::Red, PenStyle::Dotted, 1);
        bandLine(y(u2, 200));
        bandLine(y(-d2, 200));
        m_s.setPenColor(C::Olive);
        bandLine(y(u1, 200));
        bandLine(y(-d1, 200));

        m_s.setPenColor(C::Black);
        m_s.setPenStyle(PenStyle::Solid);
        for (int i = 1; i <= 19; ++i) {
            if (i == 10)
                continue;
            const int ty = chartPixel(m_f.Hr / 20 * i);
            m_s.line(m_f.L, ty, m_f.L + m_f.W / 80, ty);
            const QString label =
                i > 10 ? u"-"_s + formatInt(10 * i - 100, 4) : u"+"_s + formatInt(100 - 10 * i, 4);
            m_s.text(5, chartPixel(m_f.Hr / 20 * i - 8), C::Black, label);
        }

        m_s.setBrushStyle(BrushStyle::None);
        for (int k = 1; k <= 6; ++k) {
            const ElementColumn &column = (*style.columns)[at(k)];
            m_s.text(x(k) - 20, m_f.H - 50, style.yinLabel, chartMeridianLabel(column.yin));
            m_s.text(x(k) - 20, m_f.H - 34, style.yangLabel, chartMeridianLabel(column.yang));
            m_s.text(x(k) - 28, m_f.H - 16, C::Blue, sixColumnElementLabel(column.element));
        }
        columnLines();
    }

    // Two series lines with their markers, and the texts naming them.
    void legend(const QString &firstText, const QString &secondText) {
        const int wt = m_areaWidth - 50;
        m_s.setPen(C::Black, PenStyle::Dotted, 1);
        m_s.line(wt - 100, 45, wt - 60, 45);
        m_s.setPenStyle(PenStyle::None);
        m_s.setBrush(C::Red, BrushStyle::Solid);
        m_s.rectangle(wt - 84, 40, wt - 76, 50);
        m_s.setPen(C::Blue, PenStyle::Solid, 1);
        m_s.line(wt - 100, 80, wt - 60, 80);
        m_s.setPenStyle(PenStyle::None);
        m_s.setBrushColor(C::Green);
        m_s.rectangle(wt - 84, 75, wt - 76, 85);
        m_s.setBrushStyle(BrushStyle::None);
        m_s.text(wt - 45, 39, C::Red, firstText);
        m_s.text(wt - 45, 74, C::Green, secondText);
    }

private:
    void columnLines() {
        m_s.setPen(C::Gray, PenStyle::Dotted, 1);
        for (int k = 1; k <= 6; ++k)
            m_s.line(x(k), m_f.H / 20, x(k), m_f.H - (m_f.H / 20) * 2);
    }
    void bandLine(int by) { m_s.line(m_f.L, by, m_f.L + m_f.W, by); }

    DrawingSurface &m_s;
    ScreenFrame m_f;
    int m_areaWidth;
};

void drawPairChart(DrawingSurface &s, const AnalysisResult &r, QSize area, const PairSeries &series,
                   const SixColumnStyle &style, const QString &firstText, const QString &secondText) {
    SixColumnFrame frame(s, area);
    frame.before(style);

    const BandLimits &b = r.bands;
    for (int p = 1; p <= 12; ++p) {
        const bool first = p <= 6;
        const int k = first ? p : p - 6;
        const double value = first ? series.first[at(k)] : series.second[at(k)];
        const int y = frame.y(value, 200);

        s.setPenStyle(PenStyle::None);
        s.setBrush(first ? C::Red : C::Green, BrushStyle::Solid);
        frame.square(k, y, 4);
        s.setBrushStyle(BrushStyle::None);
        if (first)
            s.setPen(C::Black, PenStyle::Dotted, 1);
        else
            s.setPen(C::Blue, PenStyle::Solid, 1);
        if (k == 1)
            s.moveTo(frame.x(k), y);
        else
            s.lineTo(frame.x(k), y);

        if (first) {
            // Summed over two channels, so the pair limits are doubled.
            const double diff = std::fabs(series.first[at(k)] - series.second[at(k)]);
            if (diff >= 2 * (b.u1 + b.d1))
                frame.warning(k, diff < 2 * (b.u2 + b.d2) ? C::Yellow : C::Red);
        }
    }

    frame.after(style, 2 * b.u1, 2 * b.u2, 2 * b.d1, 2 * b.d2);
    frame.legend(firstText, secondText);
}

void drawElementChart(DrawingSurface &s, const AnalysisResult &r, QSize area, ElementChartOrder order) {
    const SixColumnStyle style{C::Maroon, C::Maroon, &columnsOf(order), 0.0};
    SixColumnFrame frame(s, area);
    frame.before(style);

    const BandLimits &b = r.bands;
    const std::array<double, 6> values = elementValues(r, order);
    const QColor marker = order == ElementChartOrder::Generating ? C::Green : C::Red;
    for (int k = 1; k <= 6; ++k) {
        const double e = values[at(k)];
        const int y = frame.y(e, 400);

        s.setPenStyle(PenStyle::None);
        s.setBrush(marker, BrushStyle::Solid);
        frame.square(k, y, 6);
        s.setBrushStyle(BrushStyle::None);
        s.setPen(C::Navy, PenStyle::Dotted, 1);
        if (k == 1)
            s.moveTo(frame.x(k), y);
        else
            s.lineTo(frame.x(k), y);

        if (std::fabs(e) >= b.u1 + b.d1)
            frame.warning(k, std::fabs(e) < b.u2 + b.d2 ? C::Yellow : C::Red);
    }

    frame.after(style, b.u1, b.u2, b.d1, b.d2);
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

void drawYinYangChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    const SixColumnStyle style{C::Red, C::Green, &generatingOrder(), 2 * r.bodyEnergy};
    drawPairChart(s, r, area, yinYangSeries(r), style, u"阴脏"_s, u"阳腑"_s);
}

void drawQiBloodChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    const SixColumnStyle style{C::Green, C::Green, &generatingOrder(), 2 * r.bodyEnergy};
    drawPairChart(s, r, area, qiBloodSeries(r), style, u"左侧"_s, u"右侧"_s);
}

void drawGeneratingChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    drawElementChart(s, r, area, ElementChartOrder::Generating);
}

void drawControllingChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    drawElementChart(s, r, area, ElementChartOrder::Controlling);
}

} // namespace orlu
