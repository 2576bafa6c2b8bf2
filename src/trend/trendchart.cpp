#include "trend/trendchart.h"

#include "charts/chartcolours.h"
#include "charts/chartgeometry.h"
#include "charts/drawingsurface.h"
#include "charts/paintersurface.h"
#include "core/daycount.h"

#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr QColor BandFill{214, 236, 214};
constexpr QColor SelectedFill{255, 246, 196};
constexpr QColor StandardLine{0, 0, 128};
constexpr QColor HighLine{128, 0, 0};

// The font of a surface is fixed; at scale 1 a line of text is 11 pixels high and a
// date as "2026-03-01" about 60 pixels wide.
constexpr int TextHeight = 11;
constexpr int DateWidth = 62;

class Painter {
public:
    Painter(DrawingSurface &surface, const TrendChartStyle &style)
        : s(surface)
        , m_style(style) {}

    int px(double screenPixels) const { return std::max(1, chartPixel(screenPixels * m_style.scale)); }
    QColor ink(const QColor &c) const { return m_style.singleColour ? ChartColour::Black : c; }
    QColor verdictInk(StateItem item, int code) const {
        const Rgb rgb = stateColour(item, code);
        QColor c(rgb.red, rgb.green, rgb.blue);
        if (m_style.paper && c == ChartColour::Yellow)
            c = ChartColour::Olive;
        return ink(c);
    }
    void text(int x, int y, const QColor &c, const QString &t) {
        s.setBrushStyle(BrushStyle::None);
        s.text(x, y, ink(c), t);
    }
    void frame(const QRect &r) {
        s.setPen(ink(ChartColour::Black), PenStyle::Solid, px(1));
        s.setBrushStyle(BrushStyle::None);
        s.rectangle(r.left(), r.top(), r.right(), r.bottom());
    }
    void fill(const QRect &r, const QColor &c) {
        s.setPen(ChartColour::Black, PenStyle::None, 1);
        if (m_style.singleColour)
            s.setBrush(ChartColour::Black, BrushStyle::BackDiagonal);
        else
            s.setBrush(c, BrushStyle::Solid);
        s.rectangle(r.left(), r.top(), r.right(), r.bottom());
    }
    // The mark of a change of body energy beyond the scatter of measuring: a red ring.
    void ring(int x, int y) {
        const int r = px(8);
        s.setPen(ink(ChartColour::Red), PenStyle::Solid, px(1.5));
        s.setBrushStyle(BrushStyle::None);
        s.ellipse(x - r, y - r, x + r, y + r);
    }
    void marker(int x, int y, bool high, const QColor &c) {
        const int r = px(high ? 3.5 : 4);
        s.setPen(ink(ChartColour::Black), PenStyle::Solid, 1);
        s.setBrush(c, BrushStyle::Solid);
        if (high)
            s.rectangle(x - r, y - r, x + r, y + r);
        else
            s.ellipse(x - r, y - r, x + r, y + r);
    }

    // A value that cannot be plotted: a red triangle at the panel's edge pointing out of it.
    void outOfRange(int x, int edgeY, bool above) {
        const int r = px(4);
        const int tip = above ? edgeY - r : edgeY + r;
        const int base = above ? edgeY + r : edgeY - r;
        s.setPen(ink(ChartColour::Black), PenStyle::Solid, 1);
        s.setBrush(ink(ChartColour::Red), BrushStyle::Solid);
        s.polygon({QPoint(x, tip), QPoint(x - r, base), QPoint(x + r, base)});
    }

    DrawingSurface &s;

private:
    TrendChartStyle m_style;
};

// The largest body energy a measurement can give is a few hundred uA; a register written
// by other means may hold far more, or infinity, which is marked instead of plotted.
constexpr double PlausibleEnergy = 1000.0;

bool plottable(double v, double limit) {
    return std::isfinite(v) && std::abs(v) <= limit;
}

// y of a value in a panel, values outside the range held at its edges.
int yOf(const QRect &panel, const ValueRange &range, double v) {
    const double t = (std::clamp(v, range.low, range.high) - range.low) / (range.high - range.low);
    return chartPixel(panel.bottom() - t * (panel.height() - 1));
}

// y of a visit's point: held inside the panel by a marker's size, so a marker at the
// edge covers neither the frame's outside nor the caption above it.
int pointY(const Painter &p, const QRect &panel, const ValueRange &range, double v) {
    const int inset = p.px(4) + 1;
    return std::clamp(yOf(panel, range, v), panel.top() + inset, panel.bottom() - inset);
}

QString number(double v, int decimals) {
    return QString::number(v, 'f', decimals);
}

ValueRange widened(ValueRange r, double padFraction) {
    const double pad = (r.high - r.low) * padFraction;
    return {r.low - pad, r.high + pad};
}

// The lines of one potential mode: consecutive visits of that mode joined, an unknown value
// leaving a gap.
template <typename ValueOf>
void drawLines(Painter &p, const TrendLayout &layout, const TrendSeries &series, const QRect &panel,
               const ValueRange &range, double limit, bool high, ValueOf valueOf) {
    p.s.setPen(p.ink(high ? HighLine : StandardLine), high ? PenStyle::Dashed : PenStyle::Solid, p.px(1.5));
    bool started = false;
    for (int i = 0; i < series.visits.size(); ++i) {
        const TrendVisit &v = series.visits[i];
        if (v.highPotential != high)
            continue;
        const std::optional<double> value = valueOf(v);
        if (!value || !plottable(*value, limit)) {
            started = false;
            continue;
        }
        const int x = layout.columnCentre(i);
        const int y = pointY(p, panel, range, *value);
        if (started)
            p.s.lineTo(x, y);
        else
            p.s.moveTo(x, y);
        started = true;
    }
}

// Values beyond `limit` in size (and infinities, NaN) are marked at the panel's edge.
template <typename ValueOf, typename InkOf>
void drawSeries(Painter &p, const TrendLayout &layout, const TrendSeries &series, const QRect &panel,
                const ValueRange &range, double limit, ValueOf valueOf, InkOf inkOf) {
    for (bool high : {false, true})
        drawLines(p, layout, series, panel, range, limit, high, valueOf);
    for (int i = 0; i < series.visits.size(); ++i) {
        const TrendVisit &v = series.visits[i];
        const std::optional<double> value = valueOf(v);
        if (!value)
            continue;
        if (plottable(*value, limit))
            p.marker(layout.columnCentre(i), pointY(p, panel, range, *value), v.highPotential, inkOf(v));
        else if (*value < 0)
            p.outOfRange(layout.columnCentre(i), panel.bottom(), false);
        else
            p.outOfRange(layout.columnCentre(i), panel.top(), true);
    }
}

// A panel's caption stands in the gap above it.
void caption(Painter &p, const QRect &panel, const QString &text) {
    p.text(panel.left(), panel.top() - p.px(TextHeight + 3), ChartColour::Blue, text);
}

// The normal band, its limits written left of the panel, and the panel's caption.
// The limits are written as the caption gives them ("(28 - 59)"), not as the
// band's edges: the band ends where the next verdict begins (60), which is not
// a value the operator is told is normal.
void drawBand(Painter &p, const QRect &panel, const ValueRange &range, const NormalBand &band,
              const QString &title, const QString &rangeLabel) {
    const int top = yOf(panel, range, band.high);
    const int bottom = yOf(panel, range, band.low);
    p.fill(QRect(QPoint(panel.left(), top), QPoint(panel.right(), bottom)), BandFill);
    static const QRegularExpression limitPattern(u"[0-9]+(?:\\.[0-9]+)?"_s);
    QStringList limits;
    for (auto it = limitPattern.globalMatch(rangeLabel); it.hasNext();)
        limits << it.next().captured();
    if (limits.size() == 2) {
        const int widest = std::max(limits[0].size(), limits[1].size());
        const int labelX = panel.left() - p.px(4) - p.px(6 * (widest + 1));
        const int height = p.s.textHeight(limits[1]);
        // Centred on their lines unless that makes them touch; then the lower limit
        // stands on its line (inside the panel) and the upper one on top of it.
        const bool apart = bottom - top > height;
        const int lowerY = apart ? bottom - height / 2 : std::min(bottom, panel.bottom() - height);
        const int upperY = apart ? top - height / 2 : std::min(top - height, lowerY - height);
        p.text(labelX, upperY, ChartColour::Olive, limits[1]);
        p.text(labelX, lowerY, ChartColour::Olive, limits[0]);
    }
    p.frame(panel);
    caption(p, panel, title + u" "_s + rangeLabel);
}

void drawLegend(Painter &p, const QRect &area, const TrendSeries &series) {
    const int y = area.top() + p.px(4);
    QString head = series.subjectNumber;
    if (!series.subjectName.isEmpty())
        head += u"  "_s + series.subjectName;
    head += series.male ? u"  男"_s : u"  女"_s;
    head += u"   %1 次测量"_s.arg(series.visits.size());
    p.text(area.left() + p.px(8), y, ChartColour::Black, head);

    int x = area.right() - p.px(390);
    for (bool high : {false, true}) {
        p.s.setPen(p.ink(high ? HighLine : StandardLine), high ? PenStyle::Dashed : PenStyle::Solid,
                   p.px(1.5));
        p.s.line(x, y + p.px(6), x + p.px(28), y + p.px(6));
        p.marker(x + p.px(14), y + p.px(6), high, p.ink(ChartColour::Green));
        p.text(x + p.px(34), y, ChartColour::Blue, high ? u"高电位"_s : u"标准"_s);
        x += p.px(90);
    }
    p.fill(QRect(x, y + p.px(1), p.px(20), p.px(10)), BandFill);
    p.text(x + p.px(26), y, ChartColour::Blue, u"正常范围"_s);
    x += p.px(90);
    p.ring(x + p.px(10), y + p.px(6));
    p.text(x + p.px(26), y, ChartColour::Blue, u"变化超出测量误差"_s);
}

// Each visit whose body energy moved further from the visit before it (in its potential
// mode) than the scatter of measuring: a ring round its point and the change beside it
// where the column leaves room.
void drawChangesBeyondScatter(Painter &p, const TrendLayout &layout, const TrendSeries &series,
                              const ValueRange &range) {
    for (int i = 0; i < series.visits.size(); ++i) {
        const std::optional<Change> change = series.bodyEnergyChange(i);
        const double v = series.visits[i].bodyEnergy;
        if (!change || !change->beyondScatter() || !plottable(v, PlausibleEnergy))
            continue;
        const int x = layout.columnCentre(i);
        const int y = pointY(p, layout.energy, range, v);
        p.ring(x, y);
        if (layout.columnWidth >= p.px(40)) {
            p.text(x + p.px(10), y - p.px(8 + TextHeight), ChartColour::Red, changeFigure(*change, 1));
        }
    }
}

void drawAbnormal(Painter &p, const TrendLayout &layout, const TrendSeries &series) {
    const QRect &panel = layout.abnormal;
    // Up to 12 meridians; the rest of the scale leaves room for a count above its bar.
    const ValueRange range{0.0, 16.0};
    p.s.setPen(p.ink(ChartColour::Gray), PenStyle::Dotted, 1);
    const int mid = yOf(panel, range, 6.0);
    p.s.line(panel.left(), mid, panel.right(), mid);
    const int half = std::max(1, std::min(chartPixel(layout.columnWidth * 0.3), p.px(10)));
    const bool counts = layout.columnWidth >= p.px(14);
    for (int i = 0; i < series.visits.size(); ++i) {
        const TrendVisit &v = series.visits[i];
        const int x = layout.columnCentre(i);
        if (v.abnormalMeridians > 0) {
            p.s.setPen(p.ink(ChartColour::Black), PenStyle::Solid, 1);
            p.s.setBrush(p.ink(v.highPotential ? HighLine : StandardLine),
                         v.highPotential ? BrushStyle::DiagonalCross : BrushStyle::Solid);
            p.s.rectangle(x - half, yOf(panel, range, v.abnormalMeridians), x + half, panel.bottom());
        }
        if (counts) {
            // An incomplete visit has no count of abnormal meridians to stand behind.
            const QString count = v.caveats.incomplete() ? u"—"_s : QString::number(v.abnormalMeridians);
            p.text(x - p.s.textWidth(count) / 2,
                   yOf(panel, range, v.abnormalMeridians) - p.s.textHeight(count) - p.px(1),
                   ChartColour::Navy, count);
        }
    }
    const int labelX = panel.left() - p.px(22);
    const int halfText = p.px(TextHeight / 2.0);
    p.text(labelX, panel.bottom() - halfText, ChartColour::Navy, u" 0"_s);
    p.text(labelX, mid - halfText, ChartColour::Navy, u" 6"_s);
    p.text(labelX, yOf(panel, range, 12.0) - halfText, ChartColour::Navy, u"12"_s);
    p.frame(panel);
    caption(p, panel, u"异常经络数"_s);
}

void drawDates(Painter &p, const TrendLayout &layout, const TrendSeries &series) {
    const int n = series.visits.size();
    if (n == 0)
        return;
    // Every k-th visit gets its date, so the labels never overlap.
    const int step = std::max(1, static_cast<int>(std::ceil(p.px(DateWidth + 8) / layout.columnWidth)));
    const int y = layout.abnormal.bottom();
    p.s.setPen(p.ink(ChartColour::Black), PenStyle::Solid, 1);
    for (int i = 0; i < n; i += step) {
        const int x = layout.columnCentre(i);
        p.s.line(x, y, x, y + p.px(4));
        const QDate d = dateOfDayCount(series.visits[i].measuredAt);
        p.text(x - p.px(DateWidth / 2.0), y + p.px(6), ChartColour::Black, shortDate(d));
    }
}

} // namespace

int TrendLayout::columnCentre(int visit) const {
    return chartPixel(plot.left() + (visit + 0.5) * columnWidth);
}

int TrendLayout::visitAt(int x) const {
    if (visits <= 0 || x < plot.left() || x > plot.right())
        return -1;
    return std::clamp(static_cast<int>((x - plot.left()) / columnWidth), 0, visits - 1);
}

TrendLayout trendLayout(const QRect &area, int visits, const TrendChartStyle &style) {
    const auto px = [&](double v) { return chartPixel(v * style.scale); };
    TrendLayout l;
    l.visits = visits;
    const int left = area.left() + px(62);
    const int right = area.right() - px(14);
    // Each panel has its caption in the gap above it.
    const int gap = px(17);
    const int top = area.top() + px(22) + gap;
    const int bottom = area.bottom() - px(26);
    // Body energy gets three shares of the height, each ratio and the meridian count one.
    const double share = (bottom - top - 5 * gap) / 10.0;
    int y = top;
    const auto panel = [&](double shares) {
        const QRect r(QPoint(left, y), QPoint(right, y + chartPixel(shares * share)));
        y = r.bottom() + gap;
        return r;
    };
    l.energy = panel(3.2);
    for (QRect &r : l.ratios)
        r = panel(1.45);
    l.abnormal = panel(1.0);
    l.plot = QRect(QPoint(left, top), QPoint(right, l.abnormal.bottom()));
    l.columnWidth = visits > 0 ? static_cast<double>(right - left) / visits : 0.0;
    return l;
}

ValueRange energyRange(const TrendSeries &series) {
    double high = 80.0;
    for (const TrendVisit &v : series.visits) {
        if (plottable(v.bodyEnergy, PlausibleEnergy))
            high = std::max(high, v.bodyEnergy);
    }
    return {0.0, std::ceil(high / 10.0) * 10.0};
}

ValueRange ratioRange(const TrendSeries &series, int ratio) {
    const NormalBand band = normalBand(trendRatioItem(ratio), series.male);
    const double width = band.high - band.low;
    ValueRange r{band.low - width, band.high + width};
    for (const TrendVisit &v : series.visits) {
        if (const auto value = v.ratios[static_cast<std::size_t>(ratio)]; value && std::isfinite(*value)) {
            r.low = std::min(r.low, *value);
            r.high = std::max(r.high, *value);
        }
    }
    r.low = std::max(r.low, band.low - 4 * width);
    r.high = std::min(r.high, band.high + 4 * width);
    r = widened(r, 0.05);
    // The autonomic ratio is never below 1.
    if (trendRatioItem(ratio) == StateItem::Autonomic)
        r.low = std::max(r.low, band.low);
    return r;
}

void drawTrendChart(DrawingSurface &surface, const TrendSeries &series, const QRect &area, int selected,
                    const TrendChartStyle &style) {
    Painter p(surface, style);
    const TrendLayout layout = trendLayout(area, series.visits.size(), style);
    if (selected >= 0 && selected < series.visits.size()) {
        const int x = layout.columnCentre(selected);
        const int half = std::max(p.px(2), chartPixel(layout.columnWidth / 2));
        p.fill(QRect(QPoint(x - half, layout.plot.top()), QPoint(x + half, layout.plot.bottom())),
               SelectedFill);
    }
    drawLegend(p, area, series);

    const ValueRange energy = energyRange(series);
    const NormalBand energyBand = normalBand(StateItem::BodyEnergy, series.male);
    drawBand(p, layout.energy, energy, energyBand, u"身体能量"_s,
             normalRangeLabel(StateItem::BodyEnergy, series.male));
    for (double v = 20.0; v < energy.high; v += 20.0) {
        const int y = yOf(layout.energy, energy, v);
        p.s.setPen(p.ink(ChartColour::Gray), PenStyle::Dotted, 1);
        p.s.line(layout.energy.left(), y, layout.energy.right(), y);
        // The band's own limits are written there already, and two labels must not touch.
        const auto near = [&](double limit) {
            return std::abs(yOf(layout.energy, energy, limit) - y) < p.px(TextHeight * 1.5);
        };
        if (!near(energyBand.low) && !near(energyBand.high))
            p.text(layout.energy.left() - p.px(22), y - p.px(TextHeight / 2.0), ChartColour::Navy,
                   number(v, 0));
    }
    drawSeries(
        p, layout, series, layout.energy, energy, PlausibleEnergy,
        // An incomplete visit's mean of fewer points is no body energy to draw in line with the others.
        [](const TrendVisit &v) {
            return v.caveats.incomplete() ? std::nullopt : std::optional(v.bodyEnergy);
        },
        [&](const TrendVisit &v) { return p.verdictInk(StateItem::BodyEnergy, v.verdicts[0].value_or(0)); });
    drawChangesBeyondScatter(p, layout, series, energy);

    for (int r = 0; r < TrendRatioCount; ++r) {
        const StateItem item = trendRatioItem(r);
        const QRect &panel = layout.ratios[static_cast<std::size_t>(r)];
        const ValueRange range = ratioRange(series, r);
        drawBand(p, panel, range, normalBand(item, series.male), ratioTitle(r),
                 normalRangeLabel(item, series.male));
        const auto index = static_cast<std::size_t>(r);
        drawSeries(
            p, layout, series, panel, range, std::numeric_limits<double>::max(),
            [index](const TrendVisit &v) { return v.ratios[index]; },
            [&](const TrendVisit &v) { return p.verdictInk(item, v.verdicts[index + 1].value_or(0)); });
    }
    drawAbnormal(p, layout, series);
    drawDates(p, layout, series);
}

QImage renderTrendImage(const TrendSeries &series, const QColor &background, QSize size, int selected) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    PainterSurface surface(painter, PainterSurface::screenFont());
    drawTrendChart(surface, series, QRect(QPoint(0, 0), size), selected);
    painter.end();
    return image;
}

} // namespace orlu
