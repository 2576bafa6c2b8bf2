#include "charts/paintersurface.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainterPath>
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

bool isHatch(BrushStyle style) {
    return style == BrushStyle::DiagonalCross || style == BrushStyle::BackDiagonal ||
           style == BrushStyle::ForwardDiagonal;
}

// Hatch lines stand a fixed distance apart on paper, whatever the printer's
// resolution, so a printed page, its preview and a PDF show the same pattern. On a
// screen they keep at least the 8 pixels of the usual hatch brushes.
constexpr double HatchPeriodMm = 1.0;
constexpr double HatchLineMm = 0.2;
constexpr int ScreenHatchPeriod = 8;

int deviceMm(double mm, int dpi) {
    return static_cast<int>(mm * dpi / 25.4 + 0.5);
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
    m_painter.setBrush(m_brush.style == BrushStyle::Solid ? QBrush(m_brush.color) : QBrush(Qt::NoBrush));
}

void PainterSurface::fillHatch(const QPainterPath &area) {
    if (!isHatch(m_brush.style))
        return;
    const int dpi = std::max(1, m_painter.device()->logicalDpiX());
    const int period = std::max(ScreenHatchPeriod, deviceMm(HatchPeriodMm, dpi));
    const int lineWidth = deviceMm(HatchLineMm, dpi);
    QPen pen(m_brush.color);
    pen.setWidth(lineWidth > 1 ? lineWidth : 0);
    pen.setCapStyle(Qt::FlatCap);

    m_painter.save();
    m_painter.setClipPath(area, Qt::IntersectClip);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    // Lines are anchored to the device origin, so neighbouring shapes continue each
    // other's pattern.
    const QRect box = area.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    const bool back = m_brush.style != BrushStyle::ForwardDiagonal;
    const bool forward = m_brush.style != BrushStyle::BackDiagonal;
    if (back) { // x + y = c: rising to the right
        const int first = (box.left() + box.top()) / period * period - period;
        for (int c = first; c <= box.right() + box.bottom() + period; c += period)
            m_painter.drawLine(QPoint(c - box.top(), box.top()), QPoint(c - box.bottom(), box.bottom()));
    }
    if (forward) { // x - y = c: falling to the right
        const int first = (box.left() - box.bottom()) / period * period - period;
        for (int c = first; c <= box.right() - box.top() + period; c += period)
            m_painter.drawLine(QPoint(c + box.top(), box.top()), QPoint(c + box.bottom(), box.bottom()));
    }
    m_painter.restore();
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
    if (m_brush.style == BrushStyle::Solid) {
        m_painter.setPen(Qt::NoPen);
        applyBrush();
        m_painter.drawRect(r);
    }
    QPainterPath area;
    area.addRect(r);
    fillHatch(area);
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
    const QRect drawn = m_pen.style == PenStyle::None ? r : r.adjusted(0, 0, -1, -1);
    QPainterPath area;
    area.addEllipse(drawn);
    fillHatch(area);
    if (m_pen.style == PenStyle::None)
        m_painter.setPen(Qt::NoPen);
    else
        applyPen();
    applyBrush();
    m_painter.drawEllipse(drawn);
}

void PainterSurface::polygon(const QList<QPoint> &points) {
    if (points.isEmpty())
        return;
    QPainterPath area;
    area.addPolygon(QPolygonF(QPolygon(points)));
    area.closeSubpath();
    fillHatch(area);
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
