#pragma once

#include "charts/drawingsurface.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

// Keeps every drawing operation with its arguments and the pen, brush and
// font colour in force, so tests and the command line can check a chart.
namespace orlu {

struct DrawOp {
    enum class Kind { Line, Rect, Ellipse, Polygon, Text, Page };
    Kind kind = Kind::Line;
    // Line: from, to. Rect and ellipse: the two corners as given. Polygon: its points.
    // Text: its top-left corner.
    QList<QPoint> points;
    QString text;
    PenState pen;
    BrushState brush;
    QColor font{0, 0, 0};
    double fontSize = 0; // points; 0 while the surface's own font holds
    int page = 0;        // Page: the number of the page that begins
};

// Texts are measured as a painter on a device of the surface's dpi measures
// them: by default the screen's 96 with the screen charts' font of 11 pixels,
// after a font size is set in the report's font.
class RecordingSurface final : public DrawingSurface {
public:
    explicit RecordingSurface(int dpi = 96);

    void setPenColor(const QColor &color) override { m_pen.color = color; }
    void setPenStyle(PenStyle style) override { m_pen.style = style; }
    void setPenWidth(int width) override { m_pen.width = width; }
    void setBrushColor(const QColor &color) override { m_brush.color = color; }
    void setBrushStyle(BrushStyle style) override { m_brush.style = style; }
    void setFontColor(const QColor &color) override { m_font = color; }
    void setFontSize(double points) override;
    int textWidth(const QString &text) const override;
    int textHeight(const QString &text) const override;
    void newPage(int number) override;

    void moveTo(int x, int y) override { m_current = QPoint(x, y); }
    // Recorded as a line from the current point.
    void lineTo(int x, int y) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void polygon(const QList<QPoint> &points) override;
    void textOut(int x, int y, const QString &text) override;

    const QList<DrawOp> &ops() const { return m_ops; }
    QList<DrawOp> ops(DrawOp::Kind kind) const;
    // Where the ink of a recorded text lies, in the font it was drawn in.
    QRect inkBox(const DrawOp &text) const;
    // The first text operation with exactly this text, or nullptr.
    const DrawOp *findText(const QString &text) const;
    void clear() { m_ops.clear(); }

private:
    DrawOp make(DrawOp::Kind kind, QList<QPoint> points, QString text = {}) const;

    QList<DrawOp> m_ops;
    PenState m_pen;
    BrushState m_brush;
    QColor m_font{0, 0, 0};
    double m_fontSize = 0;
    QFont m_screenFont;
    QFont m_metricsFont;
    QImage m_metricsDevice; // carries the dpi the font sizes are measured at
    QPoint m_current;
};

// One JSON object per line, in drawing order:
// {"op": "line", "x1": .., "y1": .., "x2": .., "y2": .., "pen": {..}, "brush": {..}, "font": [r, g, b]}
// A text drawn after a font size was set also carries "size" (points); a page
// beginning is {"op": "page", "n": N}.
QByteArray opsToJsonLines(const QList<DrawOp> &ops);

// Draws recorded operations again on another surface (a printer page), in order,
// with the pen, brush and font each was recorded with.
void replayOps(const QList<DrawOp> &ops, DrawingSurface &target);
QByteArray opToJson(const DrawOp &op);

} // namespace orlu
