#include "widgets/segmentedbarmeter.h"

#include <QPainter>

#include <cmath>

namespace orlu {

SegmentedBarMeter::SegmentedBarMeter(QWidget *parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SegmentedBarMeter::setRange(int minimum, int maximum) {
    if (m_range.setRange(minimum, maximum))
        emit valueChanged(value());
    update();
}

void SegmentedBarMeter::setValue(int value) {
    if (!m_range.setValue(value))
        return;
    update();
    emit valueChanged(this->value());
}

void SegmentedBarMeter::setSegmentCount(int count) {
    m_segments = qBound(1, count, 200);
    update();
}

void SegmentedBarMeter::setZoneEnds(int greenEnd, int yellowEnd) {
    m_greenEnd = greenEnd;
    m_yellowEnd = qMax(greenEnd, yellowEnd);
    update();
}

void SegmentedBarMeter::setZonePercents(int greenPercent, int yellowPercent) {
    const double span = maximum() - minimum();
    const int g = qBound(0, greenPercent, 100);
    const int y = qBound(0, yellowPercent, 100 - g);
    setZoneEnds(minimum() + static_cast<int>(std::lround(span * g / 100.0)),
                minimum() + static_cast<int>(std::lround(span * (g + y) / 100.0)));
}

void SegmentedBarMeter::setOrientation(Qt::Orientation orientation) {
    m_orientation = orientation;
    setSizePolicy(orientation == Qt::Horizontal ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                  orientation == Qt::Horizontal ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    updateGeometry();
    update();
}

int SegmentedBarMeter::litSegments() const {
    return qBound(0, static_cast<int>(std::ceil(m_range.fraction() * m_segments - 1e-9)), m_segments);
}

SegmentedBarMeter::Zone SegmentedBarMeter::zoneOf(int segment) const {
    const double middle = minimum() + (segment + 0.5) * (maximum() - minimum()) / m_segments;
    if (middle <= m_greenEnd)
        return Zone::Green;
    if (middle <= m_yellowEnd)
        return Zone::Yellow;
    return Zone::Red;
}

QColor SegmentedBarMeter::zoneColour(Zone zone, bool lit) {
    switch (zone) {
    case Zone::Green:
        return lit ? QColor(0, 220, 0) : QColor(0, 70, 0);
    case Zone::Yellow:
        return lit ? QColor(255, 230, 0) : QColor(80, 72, 0);
    case Zone::Red:
        return lit ? QColor(255, 30, 30) : QColor(80, 10, 10);
    }
    return {};
}

QSize SegmentedBarMeter::sizeHint() const {
    return m_orientation == Qt::Horizontal ? QSize(200, 16) : QSize(16, 200);
}

QSize SegmentedBarMeter::minimumSizeHint() const {
    return m_orientation == Qt::Horizontal ? QSize(m_segments * 2 + 4, 6) : QSize(6, m_segments * 2 + 4);
}

void SegmentedBarMeter::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), QColor(20, 20, 20));
    const bool horizontal = m_orientation == Qt::Horizontal;
    const QRectF inner = QRectF(rect()).adjusted(2, 2, -2, -2);
    const double length = horizontal ? inner.width() : inner.height();
    const double pitch = length / m_segments;
    // A gap of a fifth of the pitch, at least one pixel, keeps segments apart.
    const double gap = qMax(1.0, pitch / 5.0);
    const int lit = litSegments();
    const bool live = isEnabled();
    for (int i = 0; i < m_segments; ++i) {
        QColor c = zoneColour(zoneOf(i), i < lit);
        if (!live)
            c = QColor(qGray(c.rgb()), qGray(c.rgb()), qGray(c.rgb()));
        const double from = i * pitch;
        const QRectF seg = horizontal ? QRectF(inner.left() + from, inner.top(), pitch - gap, inner.height())
                                      : QRectF(inner.left(), inner.bottom() - from - (pitch - gap),
                                               inner.width(), pitch - gap);
        p.fillRect(seg, c);
    }
}

} // namespace orlu
