#include "trend/ui/trendwindow.h"

#include "trend/ui/trendchartview.h"
#include "records/ui/recordlistwidgets.h"
#include "widgets/toolbuttons.h"
#include "widgets/screenfit.h"
#include "widgets/windowsetup.h"

#include <QHeaderView>
#include <QLabel>
#include <QItemSelectionModel>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

TrendWindow::TrendWindow(const TrendSeries &series, qint64 selectedKey, Printer print, QWidget *parent)
    : QDialog(parent)
    , m_print(std::move(print)) {
    setUpWindow(this, {.objectName = u"trendWindow"_s, .title = u"能量趋势"_s});
    m_model.setSeries(series);

    auto *bar = new QToolBar(this);
    m_printButton = addToolButton(bar, u"printButton"_s, u"打  印"_s, u"打印能量趋势"_s);
    m_printButton->setEnabled(static_cast<bool>(m_print) && !series.visits.isEmpty());
    QToolButton *leave = addToolButton(bar, u"leaveButton"_s, u"离  开"_s, u"离开能量趋势"_s);
    m_printStatus = new QLabel(bar);
    m_printStatus->setObjectName(u"printStatus"_s);
    bar->addSeparator();
    bar->addWidget(m_printStatus);

    m_chart = new TrendChartView(this);
    m_chart->setSeries(series);
    m_table = new QTableView(this);
    setUpListView(m_table, u"trendTable"_s);
    m_table->setModel(&m_model);
    m_table->setColumnWidth(TrendTableModel::Index, 50);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(m_chart, 3);
    layout->addWidget(m_table, 2);
    resizeWithinScreen(this, QSize(1000, 860));

    connect(m_chart, &TrendChartView::visitChosen, this, &TrendWindow::visitChosen);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { visitChosen(current.row()); });
    connect(m_printButton, &QToolButton::clicked, this, &TrendWindow::printClicked);
    connect(leave, &QToolButton::clicked, this, &TrendWindow::reject);

    const int start = series.indexOfKey(selectedKey);
    selectVisit(start >= 0 ? start : static_cast<int>(series.visits.size()) - 1);
}

void TrendWindow::selectVisit(int index) {
    if (index < 0 || index >= m_model.rowCount() || index == m_selected)
        return;
    m_selected = index;
    m_chart->setSelectedVisit(index);
    if (currentRow(m_table) != index)
        setCurrentRow(m_table, index);
}

void TrendWindow::visitChosen(int index) {
    if (index < 0 || index >= m_model.rowCount() || index == m_selected)
        return;
    selectVisit(index);
    emit measurementChosen(m_model.series().visits[index].key);
}

void TrendWindow::printClicked() {
    if (m_print)
        m_printStatus->setText(m_print(m_model.series(), this));
}

} // namespace orlu
