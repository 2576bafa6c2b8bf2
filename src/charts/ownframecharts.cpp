// Ryodoraku and autonomic-balance charts, each with a frame of its own.
#include "charts/charts.h"

#include "analysis/analysis.h"
#include "charts/chartcolours.h"
#include "charts/chartframe.h"
#include "charts/chartgeometry.h"
#include "charts/drawingsurface.h"
#include "core/numberformat.h"

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

namespace C = ChartColour;

constexpr double RyodorakuFullScale = 170.0; // uA at the top edge

int legendColumn(const ChartFrame &f, int level) {
    static constexpr std::array<int, 3> Screen{15, 18, 21};
    static constexpr std::array<int, 3> Paper{14, 18, 22};
    return (f.printed ? Paper : Screen)[static_cast<std::size_t>(level)];
}

// `count` column lines right of the axis: gray dotted through the middle of
// each pair of columns, solid at their borders, where the hand/foot border
// (line `limbBorder`) is gray and wider than the blue ones. The solid lines
// start `rise` above the dotted ones.
void columnLines(DrawingSurface &s, const ChartFrame &f, int count, int dottedBottom, int rise,
                 int limbBorder) {
    const int top = f.y0 + f.h / 17;
    for (int i = 1; i <= count; ++i) {
        const int x = chartPixel(f.wr / count * i) + f.x0;
        if (i % 2 == 1) {
            s.setPen(f.ink(C::Gray), PenStyle::Dotted, f.pen(1, 5));
            s.line(x, top, x, dottedBottom);
        } else {
            if (i == limbBorder)
                s.setPen(f.ink(C::Gray), PenStyle::Solid, f.pen(2, 3));
            else
                s.setPen(f.ink(C::Blue), PenStyle::Solid, f.pen(1, 5));
            s.line(x, top - rise, x, f.y0 + f.h);
        }
    }
}

} // namespace

void drawRyodorakuChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &block) {
    // The scale ends above the column captions: on paper they take the block's last 8 mm, on
    // screen the caller's frame leaves them room below. So no mark of a low value covers them.
    ChartFrame f = block;
    if (f.printed) {
        f.h -= f.mm(8);
        f.hr = f.h;
    }
    const int bottom = f.y0 + f.h;
    // Absolute scale: 0 uA on the bottom edge, 170 uA on the top edge.
    const auto scaleY = [&](double v) { return f.y0 + chartPixel(f.hr - v * f.hr / RyodorakuFullScale); };

    s.setPen(f.ink(C::Black), PenStyle::Solid, f.pen(3, 3));
    s.setBrushStyle(BrushStyle::None);
    s.line(f.x0, f.y0, f.x0, bottom);

    columnLines(s, f, 24, bottom, f.len(10, 2), 12);

    s.setPenColor(f.ink(C::Black));
    s.setPenStyle(PenStyle::Solid);
    s.setBrushStyle(BrushStyle::None);
    s.setFontColor(f.ink(C::Navy));
    for (int i = 0; i <= 16; ++i) {
        const int y = bottom - chartPixel(f.hr / 17 * i);
        s.line(f.x0, y, f.w / 80 + f.x0, y);
        s.textOut(f.pick(2, f.x0 - f.mm(6)), tickLabelY(s, f, y, 6), formatInt(10 * i, 3));
    }

    const int captionY = f.pick(bottom + 4, bottom + f.mm(1));
    for (int i = 1; i <= 12; ++i) {
        const double centre = f.x0 + f.wr / 12 * (i - 1) + f.wr / 24;
        drawCaption(s, f, centre, chartPixel(f.wr / 12 * (i - 1) + 11) + f.x0, captionY, C::Green,
                    f.meridianLabel(i));
        drawCaption(s, f, centre, chartPixel(f.wr / 12 * (i - 1) + 18) + f.x0,
                    f.pick(bottom + 20, bottom + f.mm(5)), C::Blue, f.elementLabel(i));
        if (i == 1)
            drawHandFootCaption(s, block, i, 61, bottom + 35);
        else if (i == 3)
            drawHandFootCaption(s, block, i, chartPixel(f.wr / 12 * 2 + 36) + f.x0, bottom + 35);
        else if (i == 9)
            drawHandFootCaption(s, block, i, chartPixel(f.wr / 12 * 8 + 44) + f.x0, bottom + 35);
    }

    for (int level = 0; level < 3; ++level) {
        const int k = legendColumn(f, level);
        if (f.printed)
            drawGradeMark(s, f, level, false, f.x0 + chartPixel(f.wr / 24 * k) - f.mm(3),
                          f.y0 - f.lineHeight + f.mm(1) / 2, f.x0 + chartPixel(f.mm(3) + f.wr / 24 * k),
                          f.y0 - f.lineHeight + f.mm(3));
        else
            drawGradeMark(s, f, level, false, chartPixel(f.wr / 24 * k) + 57, 7,
                          chartPixel(f.wr / 24 * k + 25) + 50, 13);
    }
    s.setBrushStyle(BrushStyle::None);
    for (int level = 0; level < 3; ++level) {
        const int k = legendColumn(f, level);
        if (f.printed)
            s.text(f.x0 + chartPixel(f.mm(5) + f.wr / 24 * k), f.y0 - f.lineHeight, f.ink(C::Black),
                   severityLegendText(level));
        else
            s.text(chartPixel(f.wr / 24 * k + 32) + 50, 4, C::Blue, severityLegendText(level));
    }

    // The band lies around the body energy on the same absolute scale.
    const double a = r.bodyEnergy;
    const BandLimits &b = r.bands;
    s.setPen(f.ink(C::Red), PenStyle::Dotted, f.pen(1, 5));
    s.line(f.x0, scaleY(a + b.u2), f.w + f.x0, scaleY(a + b.u2));
    s.line(f.x0, scaleY(a - b.d2), f.w + f.x0, scaleY(a - b.d2));
    s.setPenColor(f.ink(C::Olive));
    s.line(f.x0, scaleY(a + b.u1), f.w + f.x0, scaleY(a + b.u1));
    s.line(f.x0, scaleY(a - b.d1), f.w + f.x0, scaleY(a - b.d1));

    // Height from the corrected value, colour from the channel's grade.
    s.setPenStyle(PenStyle::None);
    const int left = f.pick(3, f.mm(1) / 2);
    const int above = f.pick(2, f.mm(1) / 2);
    const int below = f.pick(3, f.mm(1) / 2);
    for (int j = 0; j <= 23; ++j) {
        const int c = PairedChannelOrder[static_cast<std::size_t>(j)];
        double y = f.y0 + f.hr - chartPixel(f.hr / RyodorakuFullScale * r.w(c));
        // Paper has no edge that hides a mark: one above 170 uA stands on the plot's top edge
        // instead of on the legend above it.
        if (f.printed)
            y = std::max(y, double(f.y0 + above));
        drawGradeMark(s, f, r.grade(c), false, chartPixel(f.wr / 24 * j + left) + f.x0, chartPixel(y - above),
                      chartPixel(f.wr / 24 * j + f.wr / 24) + f.x0, chartPixel(y + below));
    }
}

void drawAutonomicChart(DrawingSurface &s, const AnalysisResult &r, const ChartFrame &f) {
    const int bottom = f.y0 + f.h;
    const double a = r.bodyEnergy;
    const int half = f.len(4, 1);
    const int gap = f.len(2, 0.5);
    // The group sums stand in the plot's foot; on screen the ratio line stands in its top.
    const int sumsY = bottom - f.len(45, 12);
    const int top = f.printed ? f.y0 : f.y0 + s.textHeight(u"M"_s);
    // The centre line stands for three times the body energy; 100 units reach the edges.
    // A group beyond the free part of the plot stands on its edge instead of on the
    // texts around it (its sum is written out below).
    const auto groupY = [&](double g) {
        const int y = f.y0 + chartPixel(f.hr / 2 - f.hr / 200 * (g - 3 * a));
        return std::clamp(y, top + gap + half, sumsY - gap - half);
    };

    s.setPen(f.ink(C::Black), PenStyle::Solid, f.pen(3, 3));
    s.line(f.x0, f.y0, f.x0, bottom);
    s.setPenWidth(f.pen(2, 4));
    s.line(f.x0, f.y0 + f.h / 2, f.w + f.x0, f.y0 + f.h / 2);

    columnLines(s, f, 8, bottom - f.len(15, 5), f.len(10, 4), 4);

    s.setPenColor(f.ink(C::Black));
    s.setPenStyle(PenStyle::Solid);
    s.setBrushStyle(BrushStyle::None);
    const int tickTextX = f.pick(2, f.x0 - f.mm(10));
    for (int i = 0; i <= 19; ++i) {
        const int y = bottom - chartPixel(f.hr / 20 * i);
        s.line(f.x0, y, f.w / 80 + f.x0, y);
        const int labelY = tickLabelY(s, f, y, 7);
        if (i >= 11)
            s.text(tickTextX, labelY, f.ink(C::Black), u" +"_s + formatInt(10 * i - 100, 3));
        else if (i >= 1 && i <= 9)
            s.text(tickTextX, labelY, f.ink(C::Black), u" -"_s + formatInt(100 - 10 * i, 3));
        else if (i == 10)
            s.text(f.pick(0, f.x0 - f.mm(12)), tickLabelY(s, f, f.y0 + f.h / 2, 7), f.ink(C::Red),
                   formatFixed(3 * a, 7, 1));
    }

    // Screen offsets count from the area's edge, 50 pixels left of the axis.
    const auto fromAxis = [&](int screen, double paperMm) {
        return f.x0 + f.pick(screen - 50, -f.mm(paperMm));
    };
    for (int k = 1; k <= 8; ++k)
        s.text(chartPixel(f.wr / 16 * (2 * k - 1)) + fromAxis(30, 6), sumsY, f.ink(C::Red),
               formatFixed(r.group(k), 7, 1));
    for (int k = 1; k <= 8; ++k)
        s.text(chartPixel(f.wr / 16 * (2 * k - 1)) + fromAxis(36, 4), bottom - f.len(30, 8), f.ink(C::Green),
               k % 2 == 1 ? u"三  阴"_s : u"三  阳"_s);
    s.setFontColor(f.ink(C::Blue));
    const int limbY = bottom - f.len(15, 4);
    s.textOut(chartPixel(f.wr / 8) + fromAxis(36, 4), limbY, u"左  手"_s);
    s.textOut(chartPixel(f.wr / 8 * 3) + fromAxis(36, 4), limbY, u"右  手"_s);
    s.textOut(chartPixel(f.wr / 8 * 5) + fromAxis(36, 4), limbY, u"左  脚"_s);
    s.textOut(chartPixel(f.wr / 8 * 7) + fromAxis(36, 4), limbY, u"右  脚"_s);

    const double ratio =
        r.state(StateItem::Autonomic)
            .value.value_or(r.lowestGroup != 0 ? r.highestGroup / r.lowestGroup : r.highestGroup);
    // On paper the ratio line spans the columns: it stands just above the plot, in the
    // free line under the title, so no column line or curve crosses it.
    const int ratioY = f.printed ? f.y0 - s.textHeight(u"M"_s) - f.mm(0.5) : f.y0;
    s.text(
        f.printed ? f.x0 + chartPixel(f.wr / 4) - f.mm(6) : chartPixel(f.wr / 2) + 80, ratioY, f.ink(C::Red),
        u"Max ["_s + formatFixed(r.highestGroup, 6, 1) + u"] / Min ["_s + formatFixed(r.lowestGroup, 6, 1) +
            u"] =  "_s + formatFixed(ratio, 6, 3) + u"   Range  [1.0 ~ 1.5]"_s);

    for (int k = 1; k <= 8; ++k) {
        const int x = chartPixel(f.wr / 8 * (k - 1) + f.wr / 16) + f.x0;
        const int y = groupY(r.group(k));
        s.setPenStyle(PenStyle::None);
        s.setBrush(f.ink(C::Green), BrushStyle::Solid);
        s.rectangle(x - half, y - half, x + half, y + half);
        s.setBrushStyle(BrushStyle::None);
        s.setPen(f.ink(C::Maroon), PenStyle::Dotted, f.pen(1, 5));
        if (k == 1)
            s.moveTo(x, y);
        else
            s.lineTo(x, y);
    }

    s.setPen(f.ink(C::Red), PenStyle::Dotted, f.pen(1, 5));
    s.line(f.x0, groupY(r.highestGroup), f.w + f.x0, groupY(r.highestGroup));
    s.line(f.x0, groupY(r.lowestGroup), f.w + f.x0, groupY(r.lowestGroup));
}

void drawRyodorakuChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    ChartFrame f = ChartFrame::screen(area);
    // The captions stand below the plot, in the area's last 50 pixels.
    f.h = area.height() - 50;
    f.hr = f.h;
    f.c = f.h / 2;
    f.cr = f.c;
    drawRyodorakuChart(s, r, f);
}

void drawAutonomicChart(DrawingSurface &s, const AnalysisResult &r, QSize area) {
    drawAutonomicChart(s, r, ChartFrame::screen(area));
}

} // namespace orlu
