#pragma once

#include "charts/drawingsurface.h"

#include <QFont>
#include <QPoint>

class QPainter;
class QPainterPath;

namespace orlu {

// Draws on a QPainter: a widget, an image, a printer or a PDF writer. The
// painter's own pen, brush and font are replaced while drawing.
class PainterSurface final : public DrawingSurface {
public:
    PainterSurface(QPainter &painter, const QFont &font);

    // Tahoma, 8 point on a 96 dpi screen: 11 pixels high.
    static QFont screenFont();

    void setPenColor(const QColor &color) override;
    void setPenStyle(PenStyle style) override;
    void setPenWidth(int width) override;
    void setBrushColor(const QColor &color) override;
    void setBrushStyle(BrushStyle style) override;
    void setFontColor(const QColor &color) override;
    void setFontSize(double points) override;
    int textWidth(const QString &text) const override;
    int textHeight(const QString &text) const override;
    // On a printer or PDF writer page 2 onwards starts a new sheet.
    void newPage(int number) override;
    // False once the device refused a new page.
    bool pagesOk() const { return m_pagesOk; }

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void polygon(const QList<QPoint> &points) override;
    void textOut(int x, int y, const QString &text) override;

private:
    void applyPen();
    void applyBrush();
    // Draws the hatch lines of the current brush inside `area`; other brushes draw nothing.
    void fillHatch(const QPainterPath &area);

    QPainter &m_painter;
    PenState m_pen;
    BrushState m_brush;
    QColor m_fontColor{0, 0, 0};
    QPoint m_current;
    int m_ascent = 0;
    bool m_pagesOk = true;
};

} // namespace orlu
