#include "widgets/ledlamp.h"

#include "core/clock.h"

#include <QPainter>
#include <QRadialGradient>

namespace orlu {

namespace {
const SystemClock &systemClock() {
    static const SystemClock clock;
    return clock;
}
} // namespace

LedLamp::LedLamp(QWidget *parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(&m_repaint, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

LedLamp::LedLamp(const QColor &color, QWidget *parent)
    : LedLamp(parent) {
    m_color = color;
}

LedLamp::~LedLamp() = default;

void LedLamp::setClock(const Clock *clock) {
    m_clock = clock;
    m_blinkStart = ticks();
}

quint32 LedLamp::ticks() const {
    return (m_clock ? *m_clock : static_cast<const Clock &>(systemClock())).ticks();
}

void LedLamp::setColor(const QColor &color) {
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void LedLamp::setOn(bool on) {
    if (on == m_on)
        return;
    m_on = on;
    update();
}

void LedLamp::setBlinking(int periodMs) {
    m_periodMs = qMax(0, periodMs);
    m_blinkStart = ticks();
    if (m_periodMs > 0)
        m_repaint.start(qMax(10, m_periodMs / 2)); // repaints only; the phase comes from the clock
    else
        m_repaint.stop();
    update();
}

bool LedLamp::isLit() const {
    if (!m_on)
        return false;
    if (m_periodMs <= 0)
        return true;
    return (ticks() - m_blinkStart) / static_cast<quint32>(m_periodMs) % 2 == 0;
}

void LedLamp::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height()) - 2.0;
    const QRectF r((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    // A dark lamp keeps a trace of its colour, as an unlit LED does.
    const QColor body = isLit() ? m_color : m_color.darker(350);
    QRadialGradient g(r.center() - QPointF(side / 6, side / 6), side / 1.6);
    g.setColorAt(0.0, isLit() ? body.lighter(170) : body.lighter(130));
    g.setColorAt(1.0, body);
    p.setBrush(g);
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.drawEllipse(r);
}

} // namespace orlu
