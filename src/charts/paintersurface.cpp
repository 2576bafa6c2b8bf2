#include "charts/paintersurface.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

Qt::PenStyle qtPenStyle(PenStyle style) {
    switch (style) {
    case PenStyle::Solid:
        return Qt::SolidLine;
    case PenStyle::Dotted:
        return Qt::DotLine;
    case PenStyle::Dashed:
        return Qt::DashLine;
    case PenStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case PenStyle::None:
        return Qt::NoPen;
    }
    return Qt::SolidLine;
}

Qt::BrushStyle qtBrushStyle(BrushStyle style) {
    switch (style) {
    case BrushStyle::Solid:
        return Qt::SolidPattern;
    case BrushStyle::None:
        return Qt::NoBrush;
    case BrushStyle::DiagonalCross:
        return Qt::DiagCrossPattern;
    case BrushStyle::BackDiagonal:
        return Qt::BDiagPattern;
    case BrushStyle::ForwardDiagonal:
        return Qt::FDiagPattern;
    }
    return Qt::SolidPattern;
}

// The pixels x1..x2-1, y1..y2-1 of a rectangle given by two corners in any order.
QRect cornersToRect(int x1, int y1, int x2, int y2) {
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    return QRect(left, top, std::max(x1, x2) - left, std::max(y1, y2) - top);
}

} // namespace

PainterSurface::PainterSurface(QPainter &painter, const QFont &font)
    : m_painter(painter) {
    m_painter.setFont(font);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_ascent = QFontMetrics(m_painter.font(), m_painter.device()).ascent();
}

QFont PainterSurface::screenFont() {
    QFont font(u"Tahoma"_s);
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void PainterSurface::setPenColor(const QColor &color) {
    m_pen.color = color;
}
void PainterSurface::setPenStyle(PenStyle style) {
    m_pen.style = style;
}
void PainterSurface::setPenWidth(int width) {
    m_pen.width = width;
}
void PainterSurface::setBrushColor(const QColor &color) {
    m_brush.color = color;
}
void PainterSurface::setBrushStyle(BrushStyle style) {
    m_brush.style = style;
}
void PainterSurface::setFontColor(const QColor &color) {
    m_fontColor = color;
}

void PainterSurface::setFontSize(double points) {
    QFont font = m_painter.font();
    font.setPointSizeF(points);
    m_painter.setFont(font);
    m_ascent = QFontMetrics(font, m_painter.device()).ascent();
}

int PainterSurface::textWidth(const QString &text) const {
    return QFontMetrics(m_painter.font(), m_painter.device()).horizontalAdvance(text);
}

int PainterSurface::textHeight(const QString &) const {
    // The font's full line height, as the report's line spacing is measured by.
    return QFontMetrics(m_painter.font(), m_painter.device()).height();
}

void PainterSurface::newPage(int number) {
    if (number <= 1)
        return;
    if (auto *paged = dynamic_cast<QPagedPaintDevice *>(m_painter.device()); paged && !paged->newPage())
        m_pagesOk = false;
}

void PainterSurface::applyPen() {
    QPen pen(m_pen.color);
    pen.setStyle(qtPenStyle(m_pen.style));
    // Width 0 draws one device pixel, as a printer of low resolution needs.
    pen.setWidth(std::max(0, m_pen.width));
    pen.setCapStyle(m_pen.width > 1 ? Qt::RoundCap : Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    m_painter.setPen(pen);
}

void PainterSurface::applyBrush() {
    m_painter.setBrush(QBrush(m_brush.color, qtBrushStyle(m_brush.style)));
}

void PainterSurface::moveTo(int x, int y) {
    m_current = QPoint(x, y);
}

void PainterSurface::lineTo(int x, int y) {
    const QPoint to(x, y);
    if (m_pen.style != PenStyle::None) {
        applyPen();
        m_painter.drawLine(m_current, to);
    }
    m_current = to;
}

void PainterSurface::rectangle(int x1, int y1, int x2, int y2) {
    const QRect r = cornersToRect(x1, y1, x2, y2);
    if (r.width() == 0 || r.height() == 0)
        return;
    if (m_brush.style != BrushStyle::None) {
        m_painter.setPen(Qt::NoPen);
        applyBrush();
        m_painter.drawRect(r);
    }
    if (m_pen.style != PenStyle::None) {
        applyPen();
        m_painter.setBrush(Qt::NoBrush);
        // An outlined QRect covers one pixel more than its size; keep to the corners.
        m_painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void PainterSurface::ellipse(int x1, int y1, int x2, int y2) {
    const QRect r = cornersToRect(x1, y1, x2, y2);
    if (r.width() == 0 || r.height() == 0)
        return;
    if (m_pen.style == PenStyle::None)
        m_painter.setPen(Qt::NoPen);
    else
        applyPen();
    applyBrush();
    m_painter.drawEllipse(m_pen.style == PenStyle::None ? r : r.adjusted(0, 0, -1, -1));
}

void PainterSurface::polygon(const QList<QPoint> &points) {
    if (points.isEmpty())
        return;
    if (m_pen.style == PenStyle::None)
        m_painter.setPen(Qt::NoPen);
    else
        applyPen();
    applyBrush();
    m_painter.drawPolygon(QPolygon(points));
}

void PainterSurface::textOut(int x, int y, const QString &text) {
    m_painter.setPen(QPen(m_fontColor));
    m_painter.drawText(QPoint(x, y + m_ascent), text);
}

} // namespace orlu
