#pragma once

#include "trend/trendseries.h"

#include <QWidget>

namespace orlu {

// The trend chart on screen, drawn completely on every repaint over the button face;
// a click on a visit's column chooses that visit.
class TrendChartView : public QWidget {
    Q_OBJECT
public:
    explicit TrendChartView(QWidget *parent = nullptr);

    void setSeries(const TrendSeries &series);
    // -1: no visit highlighted.
    void setSelectedVisit(int index);
    int selectedVisit() const { return m_selected; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void visitChosen(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    TrendSeries m_series;
    int m_selected = -1;
};

} // namespace orlu
