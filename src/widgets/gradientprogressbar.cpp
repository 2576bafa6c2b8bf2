#include "widgets/gradientprogressbar.h"

#include <QLinearGradient>
#include <QPainter>

namespace orlu {

GradientProgressBar::GradientProgressBar(QWidget *parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void GradientProgressBar::setRange(int minimum, int maximum) {
    const bool moved = m_range.setRange(minimum, maximum);
    update();
    if (moved)
        emit valueChanged(value());
}

void GradientProgressBar::setValue(int value) {
    if (!m_range.setValue(value))
        return;
    update();
    emit valueChanged(this->value());
}

void GradientProgressBar::setColors(const QColor &start, const QColor &end) {
    m_start = start;
    m_end = end;
    update();
}

void GradientProgressBar::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.setPen(palette().color(QPalette::Mid));
    p.setBrush(palette().color(QPalette::Base));
    p.drawRect(frame);
    const QRect inner = frame.adjusted(2, 2, -1, -1);
    const int filled = static_cast<int>(inner.width() * fraction() + 0.5);
    if (filled <= 0)
        return;
    // The gradient spans the whole bar, so a colour marks a position, not a share.
    QLinearGradient g(inner.topLeft(), inner.topRight());
    const bool live = isEnabled();
    g.setColorAt(0.0, live ? m_start : QColor(150, 150, 150));
    g.setColorAt(1.0, live ? m_end : QColor(200, 200, 200));
    p.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()), g);
}

} // namespace orlu
