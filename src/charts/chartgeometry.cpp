#include "charts/chartgeometry.h"

#include "charts/chartcolours.h"
#include "core/numberformat.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orlu {

using namespace Qt::StringLiterals;

int chartPixel(double v) {
    constexpr double limit = 1.0e6;
    if (std::isnan(v))
        return 0;
    return roundHalfEvenInt(std::clamp(v, -limit, limit));
}

ScreenFrame ScreenFrame::forArea(int areaWidth, int areaHeight) {
    ScreenFrame f;
    f.L = 50;
    f.W = areaWidth - 50;
    f.H = areaHeight;
    f.C = f.H / 2;
    f.Wr = f.W;
    f.Hr = f.H;
    f.Cr = f.C;
    return f;
}

int excessY(double d, double energy, double centre) {
    if (d >= 0)
        return chartPixel(centre - centre / energy * d);
    return chartPixel(centre + centre / energy * std::fabs(d));
}

QColor severityColour(int grade) {
    switch (std::abs(grade)) {
    case 0:
        return ChartColour::Green;
    case 1:
        return ChartColour::Yellow;
    default:
        return ChartColour::Red;
    }
}

BrushStyle severityHatch(int grade) {
    switch (std::abs(grade)) {
    case 0:
        return BrushStyle::DiagonalCross;
    case 1:
        return BrushStyle::BackDiagonal;
    default:
        return BrushStyle::ForwardDiagonal;
    }
}

QString severityLegendText(int level) {
    switch (level) {
    case 0:
        return u"正常"_s;
    case 1:
        return u"尚可"_s;
    default:
        return u"不良"_s;
    }
}

QString chartMeridianLabel(int m) {
    // One-character meridians ("肺  经") get a leading blank to line up with "心包经".
    const QString label = meridianCaption(m, NameSpacing::TwoBlanks);
    return label.contains(u"  "_s) ? u" "_s + label : label;
}

QString chartElementLabel(int m) {
    const QString label = elementLabel(meridian(m).element);
    return label.size() == 1 ? u"  "_s + label : label;
}

QString sixColumnElementLabel(ElementGroup g) {
    const QString label = bracketedElementLabel(g);
    return elementLabel(g).size() == 1 ? u" "_s + label : label;
}

} // namespace orlu
