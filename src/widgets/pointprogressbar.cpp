#include "widgets/pointprogressbar.h"

#include <QPainter>

namespace orlu {

PointProgressBar::PointProgressBar(QWidget *parent)
    : GradientProgressBar(parent) {
    setRange(0, DurationMs);
    setColors(QColor(0, 90, 200), QColor(0, 220, 120));
}

void PointProgressBar::paintEvent(QPaintEvent *event) {
    GradientProgressBar::paintEvent(event);
    QPainter p(this);
    const QRectF inner = QRectF(rect()).adjusted(2, 2, -2, -2);
    p.setPen(QPen(QColor(60, 60, 60, 160), 1));
    for (int t = TickMs; t < DurationMs; t += TickMs) {
        const double x = inner.left() + inner.width() * t / DurationMs;
        p.drawLine(QPointF(x, inner.top()), QPointF(x, inner.top() + inner.height() / 3));
        p.drawLine(QPointF(x, inner.bottom() - inner.height() / 3), QPointF(x, inner.bottom()));
    }
}

} // namespace orlu
