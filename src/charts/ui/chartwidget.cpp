#include "charts/ui/chartwidget.h"

#include "charts/chartcatalogue.h"
#include "charts/charts.h"
#include "charts/paintersurface.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

ChartArea::ChartArea(QWidget *parent)
    : QWidget(parent) {
    setObjectName(u"chartArea"_s);
    setFixedSize(ChartAreaSize);
    // Every repaint draws the whole chart over the button face.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartArea::setResult(const AnalysisResult &result) {
    m_result = result;
    update();
}

void ChartArea::clearResult() {
    m_result.reset();
    update();
}

void ChartArea::setSelection(int selection) {
    m_selection = selection;
    update();
}

QSize ChartArea::sizeHint() const {
    return ChartAreaSize;
}

void ChartArea::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (!m_result)
        return;
    PainterSurface surface(painter, PainterSurface::screenFont());
    drawChart(m_selection, surface, *m_result, size());
}

ChartWidget::ChartWidget(QWidget *parent)
    : QWidget(parent)
    , m_titleLabel(new QLabel(this))
    , m_area(new ChartArea(this)) {
    setObjectName(u"chartWidget"_s);
    m_titleLabel->setObjectName(u"chartTitleLabel"_s);
    m_titleLabel->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_titleLabel);
    layout->addWidget(m_area, 0, Qt::AlignHCenter);

    setSelection(1);
}

void ChartWidget::setResult(const AnalysisResult &result) {
    m_area->setResult(result);
}

void ChartWidget::clearResult() {
    m_area->clearResult();
}

void ChartWidget::setSelection(int selection) {
    const bool changed = selection != m_area->selection();
    m_area->setSelection(selection);
    m_titleLabel->setText(title());
    if (changed)
        emit selectionChanged(selection);
}

int ChartWidget::selection() const {
    return m_area->selection();
}

QString ChartWidget::title() const {
    const ChartEntry *entry = chartEntry(selection());
    return entry ? entry->title : QString();
}

QString ChartWidget::explanation() const {
    const ChartEntry *entry = chartEntry(selection());
    return entry ? entry->explanation : QString();
}

} // namespace orlu
