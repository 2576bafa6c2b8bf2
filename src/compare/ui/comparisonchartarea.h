#pragma once

#include "compare/comparisonchart.h"

#include <QWidget>

namespace orlu {

// The chart area of both comparison windows: the button face with the comparison
// chart drawn over it, completely, on every repaint.
class ComparisonChartArea : public QWidget {
    Q_OBJECT
public:
    ComparisonChartArea(QSize designSize, QWidget *parent = nullptr);

    void setChart(const ComparisonChart &chart);
    const ComparisonChart &chart() const { return m_chart; }

    QSize sizeHint() const override { return m_designSize; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize m_designSize;
    ComparisonChart m_chart;
};

} // namespace orlu
