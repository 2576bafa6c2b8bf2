#pragma once

#include "widgets/gradientprogressbar.h"

namespace orlu {

// Progress of one measuring point over its 2.5 s, with marks at the 600 ms
// ticks the probe sounds, so the operator sees how many are left.
class PointProgressBar : public GradientProgressBar {
    Q_OBJECT
public:
    explicit PointProgressBar(QWidget *parent = nullptr);

    static constexpr int DurationMs = 2500;
    static constexpr int TickMs = 600;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace orlu
