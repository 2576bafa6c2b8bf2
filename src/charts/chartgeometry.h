#pragma once

#include "charts/drawingsurface.h"
#include "core/channels.h"

#include <QColor>
#include <QString>

// What the charts share: pixel rounding, the frame of the rectangular charts,
// the excess/deficiency scale, the severity colours and the column captions.
namespace orlu {

// A coordinate: nearest integer, a half to the even neighbour. Values far
// outside any drawing area are held at +-1e6 so a tiny body energy cannot
// overflow the conversion; such points are off the area either way.
int chartPixel(double v);

// Frame of the six rectangular charts: axis at x = L, centre line at y = C.
struct ScreenFrame {
    int L = 50;
    int W = 707;
    int H = 393;
    int C = 196;
    double Wr = 707.0;
    double Hr = 393.0;
    double Cr = 196.0;

    static ScreenFrame forArea(int areaWidth, int areaHeight);
};

// y of a deviation d in the bar and curve charts: +A reaches the top edge,
// -A the bottom edge. Needs energy > 0.
int excessY(double d, double energy, double centre);

// Severity colour of a grade: green at 0, yellow at +-1, red at +-2.
QColor severityColour(int grade);
// Bar hatch of a grade: diagonal cross, back diagonal, forward diagonal.
BrushStyle severityHatch(int grade);
// Legend texts of the three grade levels 0, 1, 2: "正常", "尚可", "不良".
QString severityLegendText(int level);

// Column captions of the bar, curve and Ryodoraku charts.
QString chartMeridianLabel(int m); // " 肺  经", "心包经"
QString chartElementLabel(int m);  // "  金", "相火"
// Element captions of the six-column charts: " 【 木 】", "【君火】".
QString sixColumnElementLabel(ElementGroup g);

} // namespace orlu
