#pragma once

#include "charts/drawingsurface.h"

#include <QColor>
#include <QSize>
#include <QString>

// Where a chart is drawn: the chart area on screen, or a block of a report page.
// Each chart has one drawing function that takes a frame; what differs between
// the screen and paper forms (offsets in pixels or millimetres, pen widths,
// caption placement, labels, colours) is asked of the frame.
namespace orlu {

struct ChartFrame {
    // The plot: the vertical axis stands at x0, the plot's top at y0.
    int x0 = 50;
    int y0 = 0;
    int w = 707;
    int h = 393;
    double wr = 707.0;
    double hr = 393.0;
    int c = 196; // the centre line, h div 2, relative to y0
    double cr = 196.0;
    bool printed = false;
    int dpi = 96;       // on paper: printer pixels per inch
    int lineHeight = 0; // on paper: the report's line height
    bool singleColour = false;

    // The rectangular charts' frame on a chart area: axis at x = 50.
    static ChartFrame screen(QSize area);
    // A printed chart whose plot top is at y0 (three report lines below the block's start).
    static ChartFrame paper(int dpi, int y0, int lineHeight, bool singleColour);

    // x millimetres in printer pixels, a half to the even neighbour.
    int mm(double x) const;
    // A screen offset in pixels, or its paper counterpart.
    int pick(int screenValue, int paperValue) const { return printed ? paperValue : screenValue; }
    int len(int screenPixels, double paperMm) const { return printed ? mm(paperMm) : screenPixels; }
    // A pen width: screen pixels, or mm(1) div `paperDivisor` on paper.
    int pen(int screenWidth, int paperDivisor) const { return printed ? mm(1) / paperDivisor : screenWidth; }
    // Single-colour paper prints every colour black.
    QColor ink(const QColor &colour) const;
    // The severity colour of a grade; on paper the acceptable grade is olive
    // where `oliveOnPaper` (yellow would not show on white).
    QColor gradeInk(int grade, bool oliveOnPaper) const;
    // Meridian m's column caption: " 肺  经" on screen, "肺　经" on paper.
    QString meridianLabel(int m) const;
    // The element caption of the 12-column charts: "  金" on screen, "金" on paper.
    QString elementLabel(int m) const;
};

// A text right of (screenX, y) on screen; on paper centred on `centreX` by its width.
void drawCaption(DrawingSurface &s, const ChartFrame &f, double centreX, int screenX, int y,
                 const QColor &colour, const QString &text);
// A text left of the axis: at screen x `screenX`; on paper with its right edge
// `paperGapMm` left of the axis.
void drawLeftOfAxis(DrawingSurface &s, const ChartFrame &f, int screenX, int y, const QColor &colour,
                    const QString &text, double paperGapMm = 3);

// The top of a scale label beside the tick at `tickY`: `screenRise` pixels above the tick on
// screen; on paper the label's line is centred on the tick, whatever the printer's font.
int tickLabelY(const DrawingSurface &s, const ChartFrame &f, int tickY, int screenRise);

// A filled mark of a channel's grade in the box (x1, y1)-(x2, y2), without outline, in the
// grade's colour. On single-colour paper the shape tells the grade instead: an outlined box
// for "正常", a filled ellipse for "尚可", a filled box for "不良". Leaves the pen off.
void drawGradeMark(DrawingSurface &s, const ChartFrame &f, int grade, bool oliveOnPaper, int x1, int y1,
                   int x2, int y2);

// Below the columns of the 12-column charts: "左   右" under column 1, "Hands  手"
// under column 3, "Feet 足" under column 9, in red. Nothing for other columns.
void drawHandFootCaption(DrawingSurface &s, const ChartFrame &f, int column, int screenX, int screenY);

} // namespace orlu
