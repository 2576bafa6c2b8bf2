#pragma once

#include <QColor>
#include <QList>
#include <QPoint>
#include <QString>

// The few 2-D operations every chart is drawn with, so the same painting code
// serves the screen, images, the printer and the tests. Coordinates are integer
// device pixels, x to the right, y downwards.
namespace orlu {

enum class PenStyle { Solid, Dotted, Dashed, DashDotDot, None };

// Hatches draw only their lines; the background shows between them.
enum class BrushStyle {
    Solid,
    None,
    DiagonalCross,
    BackDiagonal,   // lines rising to the right
    ForwardDiagonal // lines falling to the right
};

struct PenState {
    QColor color{0, 0, 0};
    PenStyle style = PenStyle::Solid;
    int width = 1;
    friend bool operator==(const PenState &, const PenState &) = default;
};

struct BrushState {
    QColor color{255, 255, 255};
    BrushStyle style = BrushStyle::Solid;
    friend bool operator==(const BrushState &, const BrushState &) = default;
};

class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual void setPenColor(const QColor &color) = 0;
    virtual void setPenStyle(PenStyle style) = 0;
    virtual void setPenWidth(int width) = 0;
    virtual void setBrushColor(const QColor &color) = 0;
    virtual void setBrushStyle(BrushStyle style) = 0;
    // The font family is fixed per surface; charts change only its colour.
    virtual void setFontColor(const QColor &color) = 0;
    // Reports set the size in points; until then the surface's own font size holds.
    virtual void setFontSize(double points) = 0;
    // Extent of a text in the current font, in device pixels.
    virtual int textWidth(const QString &text) const = 0;
    virtual int textHeight(const QString &text) const = 0;
    // Page `number` of a paged surface begins (page 1 ends nothing). A surface
    // that is not paged ignores it.
    virtual void newPage(int number) = 0;

    virtual void moveTo(int x, int y) = 0;
    // A line from the current point; (x, y) becomes the current point.
    virtual void lineTo(int x, int y) = 0;
    // Outline with the pen, fill with the brush; the corners may come in any order.
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    // The ellipse inside the bounding rectangle given by two corners.
    virtual void ellipse(int x1, int y1, int x2, int y2) = 0;
    // Closed polygon through the points.
    virtual void polygon(const QList<QPoint> &points) = 0;
    // Text with its top-left corner at (x, y), without background.
    virtual void textOut(int x, int y, const QString &text) = 0;

    // Conveniences built from the operations above.
    void setPen(const QColor &color, PenStyle style, int width);
    void setBrush(const QColor &color, BrushStyle style);
    void line(int x1, int y1, int x2, int y2);
    void text(int x, int y, const QColor &color, const QString &text);
};

} // namespace orlu
