#include "charts/chartframe.h"

#include "core/channels.h"
#include "core/numberformat.h"
#include "charts/chartcolours.h"
#include "charts/chartgeometry.h"

#include <cstdlib>

namespace orlu {

using namespace Qt::StringLiterals;

ChartFrame ChartFrame::screen(QSize area) {
    ChartFrame f;
    f.x0 = 50;
    f.y0 = 0;
    f.w = area.width() - 50;
    f.h = area.height();
    f.wr = f.w;
    f.hr = f.h;
    f.c = f.h / 2;
    f.cr = f.c;
    return f;
}

ChartFrame ChartFrame::paper(int dpi, int y0, int lineHeight, bool singleColour) {
    ChartFrame f;
    f.printed = true;
    f.dpi = dpi;
    f.lineHeight = lineHeight;
    f.singleColour = singleColour;
    f.x0 = f.mm(30);
    f.y0 = y0;
    f.w = f.mm(150);
    f.h = f.mm(90);
    f.wr = f.w;
    f.hr = f.h;
    f.c = f.h / 2;
    f.cr = f.c;
    return f;
}

int ChartFrame::mm(double x) const {
    return roundHalfEvenInt(dpi * x / 25.4);
}

QColor ChartFrame::ink(const QColor &colour) const {
    return printed && singleColour ? ChartColour::Black : colour;
}

QColor ChartFrame::gradeInk(int grade, bool oliveOnPaper) const {
    if (printed && oliveOnPaper && std::abs(grade) == 1)
        return ink(ChartColour::Olive);
    return ink(severityColour(grade));
}

QString ChartFrame::meridianLabel(int m) const {
    if (!printed)
        return chartMeridianLabel(m);
    QString label = meridian(m).gridLabel;
    return label.replace(u"  "_s, u"\u3000"_s);
}

QString ChartFrame::elementLabel(int m) const {
    return printed ? orlu::elementLabel(meridian(m).element) : chartElementLabel(m);
}

void drawCaption(DrawingSurface &s, const ChartFrame &f, double centreX, int screenX, int y,
                 const QColor &colour, const QString &text) {
    const int x = f.printed ? chartPixel(centreX) - s.textWidth(text) / 2 : screenX;
    s.text(x, y, f.ink(colour), text);
}

void drawLeftOfAxis(DrawingSurface &s, const ChartFrame &f, int screenX, int y, const QColor &colour,
                    const QString &text, double paperGapMm) {
    const int x = f.printed ? f.x0 - f.mm(paperGapMm) - s.textWidth(text) : screenX;
    s.text(x, y, f.ink(colour), text);
}

int tickLabelY(const DrawingSurface &s, const ChartFrame &f, int tickY, int screenRise) {
    return f.printed ? tickY - s.textHeight(u"0"_s) / 2 : tickY - screenRise;
}

void drawGradeMark(DrawingSurface &s, const ChartFrame &f, int grade, bool oliveOnPaper, int x1, int y1,
                   int x2, int y2) {
    const bool byShape = f.printed && f.singleColour;
    const int level = std::abs(grade);
    if (byShape && level == 0) {
        s.setPen(ChartColour::Black, PenStyle::Solid, f.pen(1, 5));
        s.setBrushStyle(BrushStyle::None);
    } else {
        s.setPenStyle(PenStyle::None);
        s.setBrush(f.gradeInk(grade, oliveOnPaper), BrushStyle::Solid);
    }
    if (byShape && level == 1)
        s.ellipse(x1, y1, x2, y2);
    else
        s.rectangle(x1, y1, x2, y2);
    s.setPenStyle(PenStyle::None);
}

void drawHandFootCaption(DrawingSurface &s, const ChartFrame &f, int column, int screenX, int screenY) {
    // On paper they stand below the plot at fixed distances from the column borders.
    int paperX = 0;
    QString text;
    switch (column) {
    case 1:
        paperX = f.x0 + f.mm(2);
        text = u"左   右"_s;
        break;
    case 3:
        paperX = f.x0 + f.mm(6) + chartPixel(f.wr / 12 * 2);
        text = u"Hands  手"_s;
        break;
    case 9:
        paperX = f.x0 + f.mm(8) + chartPixel(f.wr / 12 * 8);
        text = u"Feet 足"_s;
        break;
    default:
        return;
    }
    s.text(f.pick(screenX, paperX), f.pick(screenY, f.y0 + f.h + f.mm(2)), f.ink(ChartColour::Red), text);
}

} // namespace orlu
