#pragma once

#include "charts/drawingsurface.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>

// Keeps every drawing operation with its arguments and the pen, brush and
// font colour in force, so tests and the command line can check a chart.
namespace orlu {

struct DrawOp {
    enum class Kind { Line, Rect, Ellipse, Polygon, Text };
    Kind kind = Kind::Line;
    // Line: from, to. Rect and ellipse: the two corners as given. Polygon: its points.
    // Text: its top-left corner.
    QList<QPoint> points;
    QString text;
    PenState pen;
    BrushState brush;
    QColor font{0, 0, 0};
};

class RecordingSurface final : public DrawingSurface {
public:
    void setPenColor(const QColor &color) override { m_pen.color = color; }
    void setPenStyle(PenStyle style) override { m_pen.style = style; }
    void setPenWidth(int width) override { m_pen.width = width; }
    void setBrushColor(const QColor &color) override { m_brush.color = color; }
    void setBrushStyle(BrushStyle style) override { m_brush.style = style; }
    void setFontColor(const QColor &color) override { m_font = color; }

    void moveTo(int x, int y) override { m_current = QPoint(x, y); }
    // Recorded as a line from the current point.
    void lineTo(int x, int y) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void polygon(const QList<QPoint> &points) override;
    void textOut(int x, int y, const QString &text) override;

    const QList<DrawOp> &ops() const { return m_ops; }
    QList<DrawOp> ops(DrawOp::Kind kind) const;
    // The first text operation with exactly this text, or nullptr.
    const DrawOp *findText(const QString &text) const;
    void clear() { m_ops.clear(); }

private:
    DrawOp make(DrawOp::Kind kind, QList<QPoint> points, QString text = {}) const;

    QList<DrawOp> m_ops;
    PenState m_pen;
    BrushState m_brush;
    QColor m_font{0, 0, 0};
    QPoint m_current;
};

// One JSON object per line, in drawing order:
// {"op": "line", "x1": .., "y1": .., "x2": .., "y2": .., "pen": {..}, "brush": {..}, "font": [r, g, b]}
QByteArray opsToJsonLines(const QList<DrawOp> &ops);
QByteArray opToJson(const DrawOp &op);

} // namespace orlu
