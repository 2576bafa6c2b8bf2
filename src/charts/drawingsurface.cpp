#include "charts/drawingsurface.h"

namespace orlu {

void DrawingSurface::setPen(const QColor &color, PenStyle style, int width) {
    setPenColor(color);
    setPenStyle(style);
    setPenWidth(width);
}

void DrawingSurface::setBrush(const QColor &color, BrushStyle style) {
    setBrushColor(color);
    setBrushStyle(style);
}

void DrawingSurface::line(int x1, int y1, int x2, int y2) {
    moveTo(x1, y1);
    lineTo(x2, y2);
}

void DrawingSurface::text(int x, int y, const QColor &color, const QString &text) {
    setFontColor(color);
    textOut(x, y, text);
}

} // namespace orlu
