#pragma once

#include "widgets/rangedvalue.h"

#include <QColor>
#include <QWidget>

namespace orlu {

// A level meter of separate segments, lit from the low end up to the value.
// Each segment belongs to the green, yellow or red zone by where its middle
// lies; a lit segment shows its zone's colour, an unlit one a dark shade of it.
class SegmentedBarMeter : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
public:
    enum class Zone { Green, Yellow, Red };

    explicit SegmentedBarMeter(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_range.minimum(); }
    int maximum() const { return m_range.maximum(); }

    // Clamped to the range.
    void setValue(int value);
    int value() const { return m_range.value(); }

    void setSegmentCount(int count);
    int segmentCount() const { return m_segments; }

    // Zone ends in value units: up to greenEnd green, up to yellowEnd yellow,
    // above it red. The defaults put 60 %, 25 % and 15 % of the range in them.
    void setZoneEnds(int greenEnd, int yellowEnd);
    int greenEnd() const { return m_greenEnd; }
    int yellowEnd() const { return m_yellowEnd; }
    // The same as shares of the range from its low end, in percent; the red
    // zone takes what is left.
    void setZonePercents(int greenPercent, int yellowPercent);

    void setOrientation(Qt::Orientation orientation);
    Qt::Orientation orientation() const { return m_orientation; }

    // Segments lit at the current value: those whose lower edge lies below it.
    int litSegments() const;
    // Segment 0 is the one at the low end.
    Zone zoneOf(int segment) const;
    static QColor zoneColour(Zone zone, bool lit);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    RangedValue m_range{1};
    int m_segments = 20;
    int m_greenEnd = 60;
    int m_yellowEnd = 85;
    Qt::Orientation m_orientation = Qt::Horizontal;
};

} // namespace orlu
