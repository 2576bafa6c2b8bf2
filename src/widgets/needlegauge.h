#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace orlu {

// A half-round dial with a needle: a range, a value and the colour of the band
// that runs from the dial's origin (0, or the nearer end when 0 lies outside
// the range) to the value. A value outside the range keeps the needle at the
// end it passed; value() still returns it unchanged.
class NeedleGauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
public:
    explicit NeedleGauge(QWidget *parent = nullptr);
    NeedleGauge(double minimum, double maximum, QWidget *parent = nullptr);

    void setRange(double minimum, double maximum);
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }

    void setValue(double value);
    double value() const { return m_value; }
    // The value limited to the range: where the needle points.
    double shownValue() const;

    void setColour(const QColor &colour);
    QColor colour() const { return m_colour; }

    // Distance between scale marks; 0 divides the range into five.
    void setMarkStep(double step);
    double markStep() const;

    // Optional texts under the dial: a caption and the unit after the value.
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }
    void setUnit(const QString &unit);
    QString unit() const { return m_unit; }
    // Whether the value is written under the needle's hub (default: yes).
    void setValueTextVisible(bool visible);
    bool isValueTextVisible() const { return m_valueText; }
    // Decimals of the written value (default 0).
    void setDecimals(int decimals);

    // Needle direction in degrees: 180 at the minimum, 90 in the middle, 0 at the maximum.
    double needleAngle() const;
    // The written value, as shown under the hub.
    QString valueText() const;

    QSize sizeHint() const override { return {120, 78}; }
    QSize minimumSizeHint() const override { return {48, 32}; }

signals:
    void valueChanged(double value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double angleOf(double v) const;

    double m_minimum = 0.0;
    double m_maximum = 100.0;
    double m_value = 0.0;
    double m_markStep = 0.0;
    int m_decimals = 0;
    bool m_valueText = true;
    QColor m_colour = QColor(0, 128, 0);
    QString m_caption;
    QString m_unit;
};

} // namespace orlu
