#pragma once

#include "widgets/rangedvalue.h"

#include <QColor>
#include <QWidget>

namespace orlu {

// A flat progress bar whose filled part runs through a colour gradient from
// the start colour at the minimum to the end colour at the maximum.
class GradientProgressBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue)
public:
    explicit GradientProgressBar(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_range.minimum(); }
    int maximum() const { return m_range.maximum(); }
    // Clamped to the range.
    void setValue(int value);
    int value() const { return m_range.value(); }
    void setColors(const QColor &start, const QColor &end);
    QColor startColor() const { return m_start; }
    QColor endColor() const { return m_end; }
    // Share of the range that is filled, 0..1.
    double fraction() const { return m_range.fraction(); }

    QSize sizeHint() const override { return {200, 18}; }
    QSize minimumSizeHint() const override { return {20, 8}; }

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    RangedValue m_range{0};
    QColor m_start = QColor(0, 0, 160);
    QColor m_end = QColor(0, 220, 255);
};

} // namespace orlu
