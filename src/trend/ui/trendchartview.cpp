#include "trend/ui/trendchartview.h"

#include "charts/paintersurface.h"
#include "trend/trendchart.h"

#include <QMouseEvent>
#include <QPainter>

namespace orlu {

TrendChartView::TrendChartView(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("trendChart"));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
}

void TrendChartView::setSeries(const TrendSeries &series) {
    m_series = series;
    m_selected = -1;
    update();
}

void TrendChartView::setSelectedVisit(int index) {
    m_selected = index >= 0 && index < m_series.visits.size() ? index : -1;
    update();
}

QSize TrendChartView::sizeHint() const {
    return TrendChartSize;
}

QSize TrendChartView::minimumSizeHint() const {
    return {600, 420};
}

void TrendChartView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    PainterSurface surface(painter, PainterSurface::screenFont());
    drawTrendChart(surface, m_series, rect(), m_selected);
}

void TrendChartView::mousePressEvent(QMouseEvent *event) {
    const TrendLayout layout = trendLayout(rect(), static_cast<int>(m_series.visits.size()));
    const QPoint at = event->position().toPoint();
    const int visit =
        at.y() >= layout.plot.top() && at.y() <= layout.plot.bottom() ? layout.visitAt(at.x()) : -1;
    if (visit < 0)
        return;
    setSelectedVisit(visit);
    emit visitChosen(visit);
}

} // namespace orlu
