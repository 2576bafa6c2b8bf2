#include "analysis/ui/analysischartpage.h"

#include "charts/chartcatalogue.h"
#include "charts/ui/chartwidget.h"
#include "widgets/toolbuttons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

const std::array<int, 9> &AnalysisChartPage::buttonOrder() {
    static const std::array<int, 9> order{1, 2, 8, 5, 6, 9, 3, 4, 7};
    return order;
}

AnalysisChartPage::AnalysisChartPage(QWidget *parent)
    : QWidget(parent)
    , m_chart(new ChartWidget(this)) {
    setObjectName(u"chartPage"_s);
    auto *bar = new QHBoxLayout;
    bar->setSpacing(2);
    for (int chart : buttonOrder()) {
        const ChartEntry *entry = chartEntry(chart);
        QToolButton *b =
            makeToolButton(u"chartButton"_s + QString::number(chart), entry->hint, entry->hint, this);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setVisible(entry->offered);
        connect(b, &QToolButton::clicked, this, [this, chart] { chartButtonClick(chart); });
        m_buttons[static_cast<std::size_t>(chart - 1)] = b;
        bar->addWidget(b);
    }
    bar->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(m_chart, 1, Qt::AlignHCenter | Qt::AlignTop);

    if (ChartArea *area = m_chart->findChild<ChartArea *>())
        area->installEventFilter(this);
    pressButton(m_current);
}

void AnalysisChartPage::setResult(const AnalysisResult &result) {
    m_chart->setResult(result);
}

void AnalysisChartPage::showChart(int chart) {
    // A remembered number without a drawing falls back to the first chart.
    if (!isOfferedChart(chart))
        chart = 1;
    m_current = chart;
    m_chart->setSelection(chart);
    pressButton(chart);
}

QString AnalysisChartPage::chartStatusText() const {
    return m_chart->explanation();
}

void AnalysisChartPage::chartButtonClick(int chart) {
    if (chart != m_current) {
        m_current = chart;
        m_chart->setSelection(chart);
    }
    pressButton(chart);
    emit chartChosen(chart);
}

void AnalysisChartPage::pressButton(int chart) {
    for (int n = 1; n <= ChartSelectionCount; ++n)
        button(n)->setChecked(n == chart);
}

bool AnalysisChartPage::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Paint)
        emit chartRepainted();
    return QWidget::eventFilter(watched, event);
}

} // namespace orlu
