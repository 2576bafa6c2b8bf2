#include "widgets/needlegauge.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace orlu {

namespace {

// The band between two angles (degrees, counter-clockwise from 3 o'clock) of
// a ring around `centre`.
QPainterPath ringSegment(const QPointF &centre, double outer, double inner, double fromDeg, double toDeg) {
    const QRectF outerRect(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
    const QRectF innerRect(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    QPainterPath path;
    path.arcMoveTo(outerRect, fromDeg);
    path.arcTo(outerRect, fromDeg, toDeg - fromDeg);
    path.arcTo(innerRect, toDeg, fromDeg - toDeg);
    path.closeSubpath();
    return path;
}

QPointF polar(const QPointF &centre, double radius, double deg) {
    const double a = qDegreesToRadians(deg);
    return {centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a)};
}

QString numberText(double v, int decimals) {
    // "-0" reads oddly under a needle that sits on zero.
    if (std::abs(v) < 0.5 * std::pow(10.0, -decimals))
        v = 0.0;
    return QString::number(v, 'f', decimals);
}

} // namespace

NeedleGauge::NeedleGauge(QWidget *parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

NeedleGauge::NeedleGauge(double minimum, double maximum, QWidget *parent)
    : NeedleGauge(parent) {
    setRange(minimum, maximum);
}

void NeedleGauge::setRange(double minimum, double maximum) {
    m_minimum = minimum;
    m_maximum = maximum > minimum ? maximum : minimum + 1.0;
    update();
}

void NeedleGauge::setValue(double value) {
    if (value == m_value)
        return;
    m_value = value;
    update();
    emit valueChanged(m_value);
}

double NeedleGauge::shownValue() const {
    return qBound(m_minimum, m_value, m_maximum);
}

void NeedleGauge::setColour(const QColor &colour) {
    m_colour = colour;
    update();
}

void NeedleGauge::setMarkStep(double step) {
    m_markStep = step > 0.0 ? step : 0.0;
    update();
}

double NeedleGauge::markStep() const {
    return m_markStep > 0.0 ? m_markStep : (m_maximum - m_minimum) / 5.0;
}

void NeedleGauge::setCaption(const QString &caption) {
    m_caption = caption;
    update();
}

void NeedleGauge::setUnit(const QString &unit) {
    m_unit = unit;
    update();
}

void NeedleGauge::setValueTextVisible(bool visible) {
    m_valueText = visible;
    update();
}

void NeedleGauge::setDecimals(int decimals) {
    m_decimals = qBound(0, decimals, 6);
    update();
}

double NeedleGauge::angleOf(double v) const {
    const double share = (qBound(m_minimum, v, m_maximum) - m_minimum) / (m_maximum - m_minimum);
    return 180.0 - 180.0 * share;
}

double NeedleGauge::needleAngle() const {
    return angleOf(m_value);
}

QString NeedleGauge::valueText() const {
    return numberText(m_value, m_decimals) + m_unit;
}

void NeedleGauge::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    QFont small = font();
    small.setPixelSize(qBound(8, height() / 7, 13));
    p.setFont(small);
    const QFontMetricsF fm(small);
    const double line = fm.height();

    const QRectF area = QRectF(rect()).adjusted(2, 2, -2, -2);
    const double captionHeight = m_caption.isEmpty() ? 0.0 : line;
    // The texts stand below the dial's baseline, clear of the needle's round end.
    const double baselineGap = 2.0;
    const double dialBottom = area.bottom() - captionHeight - line - baselineGap;
    const double radius = qMax(4.0, qMin(area.width() / 2.0 - 1.0, dialBottom - area.top()));
    const QPointF centre(area.center().x(), dialBottom);
    const double inner = radius * 0.68;
    const bool live = isEnabled();

    // Dial face and the empty band.
    p.setPen(QPen(palette().color(QPalette::Mid), 1.0));
    p.setBrush(palette().color(QPalette::Base));
    QPainterPath face;
    face.moveTo(centre);
    face.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 0.0, 180.0);
    face.closeSubpath();
    p.drawPath(face);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(226, 226, 226));
    p.drawPath(ringSegment(centre, radius - 1.0, inner, 0.0, 180.0));

    // The coloured band from the origin to the value.
    const double origin = angleOf(0.0);
    const double at = needleAngle();
    if (std::abs(origin - at) > 0.01) {
        p.setBrush(live ? m_colour : QColor(160, 160, 160));
        p.drawPath(ringSegment(centre, radius - 1.0, inner, qMin(origin, at), qMax(origin, at)));
    }

    // Scale marks across the band.
    p.setPen(QPen(QColor(70, 70, 70), 1.0));
    const double step = markStep();
    const int marks = static_cast<int>(std::floor((m_maximum - m_minimum) / step + 1e-9));
    for (int i = 0; i <= marks && i <= 200; ++i) {
        const double a = angleOf(m_minimum + i * step);
        p.drawLine(polar(centre, radius - 1.0, a), polar(centre, inner + (radius - inner) * 0.45, a));
    }

    // Needle and hub.
    const QColor needle = live ? QColor(30, 30, 30) : QColor(120, 120, 120);
    p.setPen(QPen(needle, qMax(1.5, radius / 22.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, polar(centre, radius * 0.94, at));
    // The hub is the upper half of a disc, so it never reaches into the value below it.
    p.setPen(Qt::NoPen);
    p.setBrush(needle);
    const double hub = qMax(2.0, radius * 0.09);
    p.drawPie(QRectF(centre.x() - hub, centre.y() - hub, 2 * hub, 2 * hub), 0, 180 * 16);

    // Range ends under the dial's feet, the value in the middle.
    p.setPen(palette().color(live ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QRectF labels(area.left(), dialBottom + baselineGap, area.width(), line);
    p.drawText(QRectF(centre.x() - radius, labels.top(), radius, line), Qt::AlignLeft | Qt::AlignTop,
               numberText(m_minimum, 0));
    p.drawText(QRectF(centre.x(), labels.top(), radius, line), Qt::AlignRight | Qt::AlignTop,
               numberText(m_maximum, 0));
    if (m_valueText) {
        QFont bold = small;
        bold.setBold(true);
        p.setFont(bold);
        p.drawText(labels, Qt::AlignHCenter | Qt::AlignTop, valueText());
        p.setFont(small);
    }
    if (!m_caption.isEmpty())
        p.drawText(QRectF(area.left(), labels.bottom(), area.width(), line), Qt::AlignHCenter | Qt::AlignTop,
                   m_caption);
}

} // namespace orlu
