// Ryodoraku and autonomic-balance charts, each with a frame of its own.
#include "charts/charts.h"

#include "analysis/analysis.h"
#include "charts/chartcolours.h"
#include "charts/chartgeometry.h"
#include "charts/drawingsurface.h"
#include "core/numberformat.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

namespace C = ChartColour;

constexpr std::array<int, 3> LegendColumns{15, 18, 21};
constexpr double RyodorakuFullScale = 170.0; // uA at the top edge

// `count` column lines right of the axis at x = 50: gray dotted through the middle
// of each pair of columns, solid at their borders, where the hand/foot border
// (line `limbBorder`) is gray and wider than the blue ones.
void columnLines(DrawingSurface &s, int count, double width, int top, int dottedBottom, int bottom,
                 int limbBorder) {
    for (int i = 1; i <= count; ++i) {
        const int x = chartPixel(width / count * i) + 50;
        if (i % 2 == 1) {
            s.setPen(C::Gray, PenStyle::Dotted, 1);
            s.line(x, top, x, dottedBottom);
        } else {
            if (i == limbBorder)
                s.setPen(C::Gray, PenStyle::Solid, 2);
            else
                s.setPen(C::Blue, PenStyle::Solid, 1);
            s.line(x, top - 10, x, bottom);
        }
    }
}

} // namespace

void drawRyodorakuChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    const int w = area.width() - 50;
    const int h = area.height() - 50;
    const double wr = w;
    const double hr = h;
    // Absolute scale: 0 uA on y = h, 170 uA on y = 0.
    const auto scaleY = [&](double v) { return chartPixel(hr - v * hr / RyodorakuFullScale); };

    s.setPen(C::Black, PenStyle::Solid, 3);
    s.setBrushStyle(BrushStyle::None);
    s.line(50, 0, 50, h);

    columnLines(s, 24, wr, h / 17, h, h, 12);

    s.setPenColor(C::Black);
    s.setPenStyle(PenStyle::Solid);
    s.setBrushStyle(BrushStyle::None);
    s.setFontColor(C::Navy);
    for (int i = 0; i <= 16; ++i) {
        const int y = h - chartPixel(hr / 17 * i);
        s.line(50, y, w / 80 + 50, y);
        s.textOut(2, y - 6, formatInt(10 * i, 3));
    }

    for (int i = 1; i <= 12; ++i) {
        s.text(chartPixel(wr / 12 * (i - 1) + 11) + 50, h + 4, C::Green, chartMeridianLabel(i));
        s.text(chartPixel(wr / 12 * (i - 1) + 18) + 50, h + 20, C::Blue, chartElementLabel(i));
        if (i == 1)
            s.text(61, h + 35, C::Red, u"左   右"_s);
        else if (i == 3)
            s.text(chartPixel(wr / 12 * 2 + 36) + 50, h + 35, C::Red, u"Hands  手"_s);
        else if (i == 9)
            s.text(chartPixel(wr / 12 * 8 + 44) + 50, h + 35, C::Red, u"Feet 足"_s);
    }

    s.setPenStyle(PenStyle::None);
    for (int level = 0; level < 3; ++level) {
        const int k = LegendColumns[static_cast<std::size_t>(level)];
        s.setBrush(severityColour(level), BrushStyle::Solid);
        s.rectangle(chartPixel(wr / 24 * k) + 57, 7, chartPixel(wr / 24 * k + 25) + 50, 13);
    }
    s.setBrushStyle(BrushStyle::None);
    for (int level = 0; level < 3; ++level) {
        const int k = LegendColumns[static_cast<std::size_t>(level)];
        s.text(chartPixel(wr / 24 * k + 32) + 50, 4, C::Blue, severityLegendText(level));
    }

    // The band lies around the body energy on the same absolute scale.
    const double a = r.bodyEnergy;
    const BandLimits &b = r.bands;
    s.setPen(C::Red, PenStyle::Dotted, 1);
    s.line(50, scaleY(a + b.u2), w + 50, scaleY(a + b.u2));
    s.line(50, scaleY(a - b.d2), w + 50, scaleY(a - b.d2));
    s.setPenColor(C::Olive);
    s.line(50, scaleY(a + b.u1), w + 50, scaleY(a + b.u1));
    s.line(50, scaleY(a - b.d1), w + 50, scaleY(a - b.d1));

    // Height from the corrected value, colour from the channel's grade.
    s.setPenStyle(PenStyle::None);
    for (int j = 0; j <= 23; ++j) {
        const int c = PairedChannelOrder[static_cast<std::size_t>(j)];
        const double y = hr - chartPixel(hr / RyodorakuFullScale * r.w(c));
        s.setBrush(severityColour(r.grade(c)), BrushStyle::Solid);
        s.rectangle(chartPixel(wr / 24 * j + 3) + 50, chartPixel(y - 2),
                    chartPixel(wr / 24 * j + wr / 24) + 50, chartPixel(y + 3));
    }
}

void drawAutonomicChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    const int w = area.width() - 50;
    const int h = area.height();
    const double wr = w;
    const double hr = h;
    const double a = r.bodyEnergy;
    // The centre line stands for three times the body energy; 100 units reach the edges.
    const auto groupY = [&](double g) { return chartPixel(hr / 2 - hr / 200 * (g - 3 * a)); };

    s.setPen(C::Black, PenStyle::Solid, 3);
    s.line(50, 0, 50, h);
    s.setPenWidth(2);
    s.line(50, h / 2, w + 50, h / 2);

    columnLines(s, 8, wr, h / 17, h - 15, h, 4);

    s.setPenColor(C::Black);
    s.setPenStyle(PenStyle::Solid);
    s.setBrushStyle(BrushStyle::None);
    for (int i = 0; i <= 19; ++i) {
        const int y = h - chartPixel(hr / 20 * i);
        s.line(50, y, w / 80 + 50, y);
        if (i >= 11)
            s.text(2, y - 7, C::Black, u" +"_s + formatInt(10 * i - 100, 3));
        else if (i >= 1 && i <= 9)
            s.text(2, y - 7, C::Black, u" -"_s + formatInt(100 - 10 * i, 3));
        else if (i == 10)
            s.text(0, h / 2 - 7, C::Red, formatFixed(3 * a, 7, 1));
    }

    for (int k = 1; k <= 8; ++k)
        s.text(chartPixel(wr / 16 * (2 * k - 1)) + 30, h - 45, C::Red, formatFixed(r.group(k), 7, 1));
    for (int k = 1; k <= 8; ++k)
        s.text(chartPixel(wr / 16 * (2 * k - 1)) + 36, h - 30, C::Green,
               k % 2 == 1 ? u"三  阴"_s : u"三  阳"_s);
    s.setFontColor(C::Blue);
    s.textOut(chartPixel(wr / 8) + 36, h - 15, u"左  手"_s);
    s.textOut(chartPixel(wr / 8 * 3) + 36, h - 15, u"右  手"_s);
    s.textOut(chartPixel(wr / 8 * 5) + 36, h - 15, u"左  脚"_s);
    s.textOut(chartPixel(wr / 8 * 7) + 36, h - 15, u"右  脚"_s);

    const double ratio =
        r.state(StateItem::Autonomic)
            .value.value_or(r.lowestGroup != 0 ? r.highestGroup / r.lowestGroup : r.highestGroup);
    s.text(chartPixel(wr / 2) + 80, 0, C::Red,
           u"Max ["_s + formatFixed(r.highestGroup, 6, 1) + u"] / Min ["_s +
               formatFixed(r.lowestGroup, 6, 1) + u"] =  "_s + formatFixed(ratio, 6, 3) +
               u"   Range  [1.0 ~ 1.5]"_s);

    for (int k = 1; k <= 8; ++k) {
        const int x = chartPixel(wr / 8 * (k - 1) + wr / 16);
        const int y = groupY(r.group(k));
        s.setPenStyle(PenStyle::None);
        s.setBrush(C::Green, BrushStyle::Solid);
        s.rectangle(x + 46, y - 4, x + 54, y + 4);
        s.setBrushStyle(BrushStyle::None);
        s.setPen(C::Maroon, PenStyle::Dotted, 1);
        if (k == 1)
            s.moveTo(x + 50, y);
        else
            s.lineTo(x + 50, y);
    }

    s.setPen(C::Red, PenStyle::Dotted, 1);
    s.line(50, groupY(r.highestGroup), w + 50, groupY(r.highestGroup));
    s.line(50, groupY(r.lowestGroup), w + 50, groupY(r.lowestGroup));
}

} // namespace orlu
