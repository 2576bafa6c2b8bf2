#include "records/ui/recordbrowser.h"

#include "core/displaycolumns.h"
#include "records/ui/recordlistwidgets.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableView>

namespace orlu {

using namespace Qt::StringLiterals;

RecordBrowser::RecordBrowser(const RecordContext &context, const QString &searchLabel, QWidget *window)
    : QObject(window)
    , m_context(context)
    , m_subjectList(context.records.subjectList(context.clock))
    , m_measurementList(context.records.measurementList())
    , m_watcher(context.records.watcher()) {
    m_searchBar = new SortSearchBar(searchLabel, window);
    m_countRow = orlu::countRow(window, m_countLabel);

    m_subjectView = new QTableView(window);
    setUpListView(m_subjectView, u"subjectList"_s);
    m_subjectView->setModel(m_subjectList.get());
    const int widths[] = {50, 100, 80, 40, 90, 40, 110, 200, 160, 110, 110};
    for (int c = 0; c < SubjectListModel::ColumnCount; ++c)
        m_subjectView->setColumnWidth(c, widths[c]);

    m_measurementView = new QTableView(window);
    setUpListView(m_measurementView, u"measurementList"_s);
    m_measurementView->setModel(m_measurementList.get());
    m_measurementView->setColumnWidth(MeasurementListModel::Stno, 50);
    m_measurementView->setColumnWidth(MeasurementListModel::Date, 90);
    m_measurementView->setColumnWidth(MeasurementListModel::Time, 70);
    m_measurementView->setColumnWidth(MeasurementListModel::Potential, 70);
    for (int c = MeasurementListModel::FirstValue; c < MeasurementListModel::ColumnCount; ++c)
        m_measurementView->setColumnWidth(c, 60);

    connect(m_subjectView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &RecordBrowser::subjectRowChanged);
    connect(m_measurementView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &RecordBrowser::measurementChanged);
    connect(m_searchBar, &SortSearchBar::searchChanged, this, &RecordBrowser::search);
    connect(m_searchBar, &SortSearchBar::sortChanged, this, &RecordBrowser::changeSort);
    connect(m_watcher.get(), &RegisterWatcher::changed, this, &RecordBrowser::registerChanged);
}

void RecordBrowser::open(const QString &subjectNumber) {
    m_subjectList->open(m_context.subjectOrder);
    m_searchBar->showOrder(m_context.subjectOrder);
    {
        const QSignalBlocker quiet(m_searchBar->searchBox());
        m_searchBar->searchBox()->clear();
    }
    moveToSubject(0);
    moveToSubject(m_subjectList->locatePrefix(SubjectColumn::Number, subjectNumber));
    showCount();
}

void RecordBrowser::moveToSubject(int row) {
    if (row >= 0)
        setCurrentRow(m_subjectView, row);
}

void RecordBrowser::reloadSubjects(int fallbackRow, qint64 key) {
    m_subjectList->refresh();
    const int byKey = m_subjectList->rowOfKey(key);
    const int row = byKey >= 0 ? byKey : qMin(fallbackRow, m_subjectList->rowCount() - 1);
    // A reset list has no current row, so moving to any row reports the change.
    if (row >= 0)
        setCurrentRow(m_subjectView, row);
    else
        subjectRowChanged();
}

void RecordBrowser::registerChanged() {
    const qint64 measurement = measurementKey();
    reloadSubjects(subjectRow(), subjectKey());
    const int row = m_measurementList->rowOfKey(measurement);
    if (row >= 0)
        setCurrentRow(m_measurementView, row);
    showCount();
}

void RecordBrowser::showCount() {
    m_countLabel->setText(countText(m_subjectList->rowCount(), m_measurementList->rowCount()));
}

int RecordBrowser::subjectRow() const {
    return currentRow(m_subjectView);
}

qint64 RecordBrowser::subjectKey() const {
    return m_subjectList->keyAt(subjectRow());
}

std::optional<Subject> RecordBrowser::subject() const {
    return m_subjectList->subjectAt(subjectRow());
}

int RecordBrowser::measurementRow() const {
    return currentRow(m_measurementView);
}

qint64 RecordBrowser::measurementKey() const {
    return m_measurementList->keyAt(measurementRow());
}

void RecordBrowser::subjectRowChanged() {
    if (const auto current = subject())
        m_measurementList->setSubjectNumber(current->number);
    else
        m_measurementList->close();
    emit subjectChanged();
    if (m_measurementList->rowCount() > 0)
        setCurrentRow(m_measurementView, 0);
    else
        emit measurementChanged();
    showCount();
}

void RecordBrowser::search(const QString &text) {
    moveToSubject(m_subjectList->locatePrefix(readingSearchColumn(m_context.subjectOrder), text.trimmed()));
}

void RecordBrowser::changeSort(SubjectOrder order) {
    const qint64 bookmark = subjectKey();
    m_context.subjectOrder = order;
    m_subjectList->setOrder(order);
    const int row = m_subjectList->rowOfKey(bookmark);
    moveToSubject(row >= 0 ? row : 0);
    emit sortChanged();
    m_subjectView->setFocus();
}

} // namespace orlu
