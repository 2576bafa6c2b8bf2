#include "widgets/tracearea.h"

#include <QPainter>

namespace orlu {

namespace {
const QColor Lime(0, 255, 0);
const QColor MoneyGreen(0xC0, 0xDC, 0xC0);
constexpr int BorderWidth = 5;
} // namespace

TraceArea::TraceArea(QWidget *parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TraceArea::clearTrace() {
    m_hasStart = false;
    m_points.clear();
    update();
}

void TraceArea::setBaselinePoint(double elapsedMs) {
    m_hasStart = true;
    const QPointF end(elapsedMs, LogicalHeight - elapsedMs);
    if (m_points.isEmpty())
        m_points.append(end);
    else
        m_points.first() = end;
    update();
}

void TraceArea::addPoint(double x, double y) {
    if (m_points.isEmpty()) {
        // A trace that skipped the baseline phase starts from the corner.
        m_hasStart = true;
        m_points.append(QPointF(0, LogicalHeight));
    }
    m_points.append(QPointF(x, y));
    update();
}

QPointF TraceArea::toPixels(QPointF logical) const {
    const double x = logical.x() * width() / LogicalWidth;
    const double y = qBound(0.0, logical.y() * height() / LogicalHeight, double(height()));
    return {x, y};
}

void TraceArea::paintGrid(QPainter &p) const {
    const int w = width();
    const int h = height();
    p.fillRect(rect(), Qt::black);
    QPen dotted(Lime, 1, Qt::DotLine);
    p.setPen(dotted);
    for (int i = 1; i <= 19; ++i) {
        if (i == 10)
            continue;
        const double x = i * w / 20.0;
        p.drawLine(QPointF(x, 3), QPointF(x, h - 3));
    }
    for (int i = 1; i <= 5; ++i) {
        if (i == 3)
            continue;
        const double y = i * h / 6.0;
        p.drawLine(QPointF(3, y), QPointF(w - 3, y));
    }
    p.setPen(QPen(Lime, 1));
    const double cx = 10 * w / 20.0;
    const double cy = 3 * h / 6.0;
    p.drawLine(QPointF(cx, 3), QPointF(cx, h - 3));
    p.drawLine(QPointF(3, cy), QPointF(w - 3, cy));
    for (int i = 1; i < 50; ++i) {
        const double x = i * w / 50.0;
        p.drawLine(QPointF(x, cy - 2), QPointF(x, cy + 2));
    }
    for (int i = 1; i < 24; ++i) {
        const double y = i * h / 24.0;
        p.drawLine(QPointF(cx - 2, y), QPointF(cx + 2, y));
    }
    p.setPen(QPen(MoneyGreen, BorderWidth));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(BorderWidth / 2.0, BorderWidth / 2.0, -BorderWidth / 2.0,
                                       -BorderWidth / 2.0));
}

void TraceArea::paintEvent(QPaintEvent *) {
    QPainter p(this);
    paintGrid(p);
    if (!m_hasStart || m_points.isEmpty())
        return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::red, 2, Qt::DotLine));
    QPolygonF line;
    line.reserve(m_points.size() + 1);
    line << QPointF(3, height());
    for (const QPointF &pt : m_points)
        line << toPixels(pt);
    p.drawPolyline(line);
}

} // namespace orlu
