#include "compare/ui/comparisonselectionwindow.h"

#include "compare/ui/comparisonwindowparts.h"
#include "widgets/windowsetup.h"
#include "core/displaycolumns.h"
#include "records/ui/recordbrowser.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

ComparisonSelectionWindow::ComparisonSelectionWindow(const RecordContext &context, ComparisonSet &set,
                                                     QWidget *parent)
    : FirstShowDialog(parent)
    , m_context(context)
    , m_set(set)
    , m_browser(new RecordBrowser(context, u"数据搜寻："_s, this)) {
    whenFirstShown([this] { openAtCurrentSubject(); });
    setUpWindow(this, {.objectName = u"comparisonSelectionWindow"_s,
                       .title = u"比对分析数据异动"_s,
                       .fixedSize = QSize(777, 543)});

    auto *bar = new QToolBar(this);
    m_addButton = addComparisonButton(bar, u"addButton"_s, u"加载数据"_s, u"加载比对数据"_s);
    m_removeButton = addComparisonButton(bar, u"removeButton"_s, u"移  除"_s, u"清除已加载的比对数据"_s);
    QToolButton *leaveButton = addComparisonButton(bar, u"leaveButton"_s, u"离  开"_s, u"离开本系统"_s);

    m_browser->subjectList().setHeaderTitles({u"Index"_s, u"编  号"_s, u"姓  名"_s, u"性别"_s, u"生 日"_s,
                                              u"年龄"_s, u"电  话"_s, u"地  址"_s, u"E-MAIL"_s, u"行动电话"_s,
                                              u"传真"_s});
    QTableView *subjects = m_browser->subjectView();
    QTableView *measurements = m_browser->measurementView();

    m_setGrid = new QTableWidget(ComparisonSet::Capacity, 4, this);
    m_setGrid->setObjectName(u"setGrid"_s);
    m_setGrid->setHorizontalHeaderLabels({u"No."_s, u"编 号"_s, u"姓 名"_s, u"   测量时间"_s});
    m_setGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_setGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_setGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_setGrid->verticalHeader()->hide();
    m_setGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_setGrid->verticalHeader()->setDefaultSectionSize(m_setGrid->fontMetrics().height() + 6);
    m_setGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_setGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Each column as wide as its heading or its widest usual text: a number of eight characters,
    // a name of four, a date with the time; with the cells' margins.
    const QFontMetrics metrics = m_setGrid->fontMetrics();
    const QString widest[] = {u"No."_s, u"T0000000"_s, u"欧阳小明"_s,
                              measurementDateText(46387.5) + u" 00:00"_s};
    int gridWidth = 2 * m_setGrid->frameWidth();
    for (int c = 0; c < 4; ++c) {
        const int width = std::max(metrics.horizontalAdvance(widest[c]),
                                   metrics.horizontalAdvance(m_setGrid->horizontalHeaderItem(c)->text())) +
                          14;
        m_setGrid->setColumnWidth(c, width);
        gridWidth += width;
    }
    m_setGrid->setFixedWidth(gridWidth);

    auto *setColumn = new QVBoxLayout;
    setColumn->addWidget(new QLabel(u"比对数据异动栏"_s, this));
    setColumn->addWidget(m_setGrid, 1);
    auto *lists = new QGridLayout;
    lists->addWidget(subjects, 0, 0, 1, 2);
    lists->addWidget(measurements, 1, 0);
    lists->addLayout(setColumn, 1, 1);
    lists->setColumnStretch(0, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->addWidget(bar);
    layout->addWidget(m_browser->searchBar());
    layout->addLayout(m_browser->countRow());
    layout->addLayout(lists, 1);

    auto *subjectWatcher = new ListEntryWatcher(subjects);
    auto leaveMeasurements = [this] {
        m_addButton->setEnabled(false);
        m_removeButton->setEnabled(false);
    };
    connect(subjectWatcher, &ListEntryWatcher::listEntered, this, leaveMeasurements);
    connect(subjectWatcher, &ListEntryWatcher::cellEntered, this, leaveMeasurements);
    auto *measurementWatcher = new ListEntryWatcher(measurements);
    connect(measurementWatcher, &ListEntryWatcher::listEntered, this,
            &ComparisonSelectionWindow::enterMeasurementList);
    connect(measurementWatcher, &ListEntryWatcher::cellEntered, this,
            &ComparisonSelectionWindow::enterMeasurementList);
    auto *setWatcher = new ListEntryWatcher(m_setGrid);
    connect(setWatcher, &ListEntryWatcher::listEntered, this, [this] { m_addButton->setEnabled(false); });
    connect(m_setGrid, &QTableWidget::cellClicked, this, [this](int row, int) { setRowClicked(row); });
    connect(m_browser, &RecordBrowser::sortChanged, this, leaveMeasurements);

    connect(measurements, &QTableView::doubleClicked, this, &ComparisonSelectionWindow::addClicked);
    connect(m_addButton, &QToolButton::clicked, this, &ComparisonSelectionWindow::addClicked);
    connect(m_removeButton, &QToolButton::clicked, this, &ComparisonSelectionWindow::removeClicked);
    connect(leaveButton, &QToolButton::clicked, this, &QDialog::accept);
}

void ComparisonSelectionWindow::openAtCurrentSubject() {
    m_addButton->setEnabled(false);
    m_removeButton->setEnabled(false);
    m_browser->open(m_context.current.subject.number);
    fillSetGrid();
    selectSetRow(qMax(m_set.size() - 1, 0));
}

void ComparisonSelectionWindow::enterMeasurementList() {
    m_addButton->setEnabled(m_browser->measurementRow() >= 0);
    m_removeButton->setEnabled(false);
}

void ComparisonSelectionWindow::setRowClicked(int row) {
    m_addButton->setEnabled(false);
    if (row < m_set.size()) {
        m_removeButton->setEnabled(true);
        return;
    }
    m_removeButton->setEnabled(false);
    selectSetRow(qMax(m_set.size() - 1, 0));
}

void ComparisonSelectionWindow::addClicked() {
    const auto stored = m_browser->measurementList().recordAt(m_browser->measurementRow());
    const auto subject = m_browser->subject();
    if (!stored || !subject)
        return;
    ComparisonEntry entry =
        ComparisonEntry::fromReadings(stored->key, subject->number, subject->name, stored->measuredAt,
                                      stored->highPotential, stored->values);
    // The list holds the readings only; their quality comes with the whole row.
    if (const auto row = m_context.records.measurements().fetch(stored->key))
        entry.quality = row->quality;
    switch (m_set.add(entry)) {
    case ComparisonSet::AddResult::Full:
        m_context.tone(AlertTone::Notice);
        m_context.prompter.showMessageBox(MessageType::NoteCaution, comparisonSetFullMessage());
        return;
    case ComparisonSet::AddResult::Duplicate:
        m_context.tone(AlertTone::Notice);
        m_context.prompter.showMessageBox(MessageType::NoteCaution, comparisonDuplicateMessage());
        return;
    case ComparisonSet::AddResult::Added:
        fillSetGrid();
        selectSetRow(m_set.size() - 1);
        return;
    }
}

void ComparisonSelectionWindow::removeClicked() {
    const int row = selectedSetRow();
    if (!m_set.remove(row))
        return;
    fillSetGrid();
    if (m_set.isEmpty()) {
        selectSetRow(0);
        m_removeButton->setEnabled(false);
    } else if (row >= m_set.size()) {
        selectSetRow(m_set.size() - 1);
    }
}

void ComparisonSelectionWindow::fillSetGrid() {
    const QList<ComparisonEntry> &entries = m_set.entries();
    for (int row = 0; row < ComparisonSet::Capacity; ++row) {
        const bool filled = row < entries.size();
        const QStringList texts =
            filled
                ? QStringList{QString::number(row + 1), entries[row].subjectNumber, entries[row].subjectName,
                              // The time alone does not tell two days' measurements apart.
                              measurementDateText(entries[row].measuredAt) + u' ' +
                                  measurementTimeText(entries[row].measuredAt)}
                : QStringList{{}, {}, {}, {}};
        for (int c = 0; c < 4; ++c)
            m_setGrid->setItem(row, c, new QTableWidgetItem(texts[c]));
    }
}

void ComparisonSelectionWindow::selectSetRow(int row) {
    m_setGrid->setCurrentCell(row, 0);
}

int ComparisonSelectionWindow::selectedSetRow() const {
    return m_setGrid->currentRow();
}

} // namespace orlu
