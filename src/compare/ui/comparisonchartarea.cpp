#include "compare/ui/comparisonchartarea.h"

#include "charts/paintersurface.h"

#include <QPainter>

namespace orlu {

using namespace Qt::StringLiterals;

ComparisonChartArea::ComparisonChartArea(QSize designSize, QWidget *parent)
    : QWidget(parent)
    , m_designSize(designSize) {
    setObjectName(u"chartArea"_s);
    setFixedSize(designSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ComparisonChartArea::setChart(const ComparisonChart &chart) {
    m_chart = chart;
    update();
}

void ComparisonChartArea::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    PainterSurface surface(painter, PainterSurface::screenFont());
    drawComparisonChart(surface, ComparisonFrame::screen(width(), height()), m_chart);
}

} // namespace orlu
