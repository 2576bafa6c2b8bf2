#include "records/ui/readingwindow.h"

#include "records/displaycolumns.h"
#include "records/listqueries.h"
#include "records/recordtransfer.h"
#include "records/ui/recordlistwidgets.h"
#include "records/ui/subjecteditor.h"
#include "records/ui/trendexporttools.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QPlainTextEdit *memoBox(QWidget *parent, const QString &name) {
    auto *memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setFixedWidth(200);
    return memo;
}

} // namespace

ReadingWindow::ReadingWindow(const RecordContext &context, Caller caller, ComparisonRecord *comparison,
                             ManualEntryOpener openManualEntry, QWidget *parent)
    : RecordDialog(parent)
    , m_context(context)
    , m_caller(caller)
    , m_comparison(comparison)
    , m_openManualEntry(std::move(openManualEntry))
    , m_subjectList(context.database.handle(), context.clock)
    , m_measurementList(context.database.handle())
    , m_subjects(context.database.handle())
    , m_measurements(context.database.handle()) {
    setObjectName(u"readingWindow"_s);
    setWindowTitle(u"经络能量数据读取"_s);
    setModal(true);
    ensureListIndexes(context.database.handle());

    auto *bar = new QToolBar(this);
    m_loadButton = addToolButton(bar, u"loadButton"_s, u"加载数据"_s, u"加载能量数据数据"_s);
    m_editSubjectButton = addToolButton(bar, u"editSubjectButton"_s, u"客户修改"_s, u"修改受测者数据"_s);
    m_deleteSubjectButton = addToolButton(bar, u"deleteSubjectButton"_s, u"客户删除"_s, u"删除受测者数据"_s);
    bar->addSeparator();
    m_editMeasurementButton =
        addToolButton(bar, u"editMeasurementButton"_s, u"修改数据"_s, u"修改能量数据"_s);
    m_deleteMeasurementButton =
        addToolButton(bar, u"deleteMeasurementButton"_s, u"删除数据"_s, u"删除能量数据数据"_s);
    bar->addSeparator();
    m_trendExport =
        new TrendExportTools(bar, m_context,
                             {[this] { return m_measurementList.subjectNumber(); },
                              [this] { return m_measurementList.keyAt(currentRow(m_measurementView)); },
                              [this](qint64 key) {
                                  if (const int row = m_measurementList.rowOfKey(key); row >= 0)
                                      setCurrentRow(m_measurementView, row);
                              }},
                             this);
    m_leaveButton = addToolButton(bar, u"leaveButton"_s, u"离  开"_s, u"离开经络能量读取"_s);

    m_searchBar = new SortSearchBar(u"数据搜寻:"_s, this);

    m_subjectView = new QTableView(this);
    setUpListView(m_subjectView, u"subjectList"_s);
    m_subjectView->setModel(&m_subjectList);
    const int widths[] = {50, 100, 80, 40, 90, 40, 110, 200, 160, 110, 110};
    for (int c = 0; c < SubjectListModel::ColumnCount; ++c)
        m_subjectView->setColumnWidth(c, widths[c]);
    m_measurementView = new QTableView(this);
    setUpListView(m_measurementView, u"measurementList"_s);
    m_measurementView->setModel(&m_measurementList);
    m_measurementView->setColumnWidth(MeasurementListModel::Stno, 50);
    m_measurementView->setColumnWidth(MeasurementListModel::Date, 90);
    m_measurementView->setColumnWidth(MeasurementListModel::Time, 70);
    m_measurementView->setColumnWidth(MeasurementListModel::Potential, 70);
    for (int c = MeasurementListModel::FirstValue; c < MeasurementListModel::ColumnCount; ++c)
        m_measurementView->setColumnWidth(c, 60);
    m_subjectMemo = memoBox(this, u"subjectMemo"_s);
    m_measurementMemo = memoBox(this, u"measurementMemo"_s);

    auto *lists = new QGridLayout;
    lists->addWidget(m_subjectView, 0, 0);
    lists->addWidget(m_subjectMemo, 0, 1);
    lists->addWidget(m_measurementView, 1, 0);
    lists->addWidget(m_measurementMemo, 1, 1);
    lists->setColumnStretch(0, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(m_searchBar);
    layout->addLayout(countRow(this, m_countLabel));
    layout->addLayout(lists, 1);
    resize(1000, 640);

    auto *subjectWatcher = new ListEntryWatcher(m_subjectView);
    connect(subjectWatcher, &ListEntryWatcher::listEntered, this, &ReadingWindow::subjectListEntered);
    connect(subjectWatcher, &ListEntryWatcher::cellEntered, this, &ReadingWindow::subjectColumnEntered);
    auto *measurementWatcher = new ListEntryWatcher(m_measurementView);
    connect(measurementWatcher, &ListEntryWatcher::listEntered, this, &ReadingWindow::measurementListEntered);
    connect(measurementWatcher, &ListEntryWatcher::cellEntered, this,
            &ReadingWindow::measurementColumnEntered);
    connect(m_subjectView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ReadingWindow::subjectRowChanged);
    connect(m_measurementView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ReadingWindow::measurementRowChanged);
    connect(m_subjectView, &QTableView::doubleClicked, this, &ReadingWindow::subjectDoubleClicked);
    connect(m_measurementView, &QTableView::doubleClicked, this, &ReadingWindow::loadClicked);

    connect(m_loadButton, &QToolButton::clicked, this, &ReadingWindow::loadClicked);
    connect(m_editSubjectButton, &QToolButton::clicked, this, &ReadingWindow::editSubjectClicked);
    connect(m_deleteSubjectButton, &QToolButton::clicked, this, &ReadingWindow::deleteSubjectClicked);
    connect(m_editMeasurementButton, &QToolButton::clicked, this, &ReadingWindow::editMeasurementClicked);
    connect(m_deleteMeasurementButton, &QToolButton::clicked, this, &ReadingWindow::deleteMeasurementClicked);
    connect(m_leaveButton, &QToolButton::clicked, this, &ReadingWindow::reject);
    connect(m_searchBar, &SortSearchBar::searchChanged, this, &ReadingWindow::searchTextChanged);
    connect(m_searchBar, &SortSearchBar::sortChanged, this, &ReadingWindow::changeSort);
}

void ReadingWindow::windowShown() {
    for (QToolButton *b : {m_loadButton, m_editSubjectButton, m_deleteSubjectButton, m_editMeasurementButton,
                           m_deleteMeasurementButton})
        b->setEnabled(false);
    const int code = normalizedSortCode(m_context.sortCode);
    m_context.sortCode = code;
    m_subjectList.open(code);
    m_searchBar->showSortCode(code);
    {
        const QSignalBlocker quiet(m_searchBar->searchBox());
        m_searchBar->searchBox()->clear();
    }
    moveToSubject(0);

    const Subject &subject = m_context.current.subject;
    moveToSubject(m_subjectList.locatePrefix(SubjectColumn::Number, subject.number));
    if (m_caller == Caller::MeasurementWindow) {
        const SubjectColumn column = readingSearchColumn(code);
        moveToSubject(m_subjectList.locatePrefix(column, subjectText(subject, column)));
    }
    showCount();
    m_subjectView->setFocus();
}

void ReadingWindow::reloadSubjects(int fallbackRow, qint64 key) {
    m_subjectList.refresh();
    const int byKey = m_subjectList.rowOfKey(key);
    const int row = byKey >= 0 ? byKey : qMin(fallbackRow, m_subjectList.rowCount() - 1);
    // A reset list has no current row, so moving to any row reports the change.
    if (row >= 0)
        setCurrentRow(m_subjectView, row);
    else
        subjectRowChanged();
}

void ReadingWindow::moveToSubject(int row) {
    if (row >= 0)
        setCurrentRow(m_subjectView, row);
}

void ReadingWindow::showCount() {
    m_countLabel->setText(countText(m_subjectList.rowCount(), m_measurementList.rowCount()));
    m_trendExport->setMeasurementCount(m_measurementList.rowCount());
}

void ReadingWindow::subjectRowChanged() {
    const int row = currentRow(m_subjectView);
    const auto subject = m_subjectList.subjectAt(row);
    if (subject) {
        m_measurementList.setSubjectNumber(subject->number);
        const auto stored = m_subjects.fetch(m_subjectList.keyAt(row));
        m_subjectMemo->setPlainText(stored ? memoToBoxText(stored->memo) : QString());
    } else {
        m_measurementList.close();
        m_subjectMemo->clear();
    }
    if (m_measurementList.rowCount() > 0)
        setCurrentRow(m_measurementView, 0);
    else
        measurementRowChanged();
    showCount();
}

void ReadingWindow::measurementRowChanged() {
    const qint64 key = m_measurementList.keyAt(currentRow(m_measurementView));
    const auto stored = key > 0 ? m_measurements.fetch(key) : std::nullopt;
    m_measurementMemo->setPlainText(stored ? memoToBoxText(stored->memo) : QString());
}

void ReadingWindow::subjectListEntered() {
    m_deleteSubjectButton->setEnabled(false);
}

void ReadingWindow::subjectColumnEntered() {
    m_loadButton->setEnabled(false);
    m_editMeasurementButton->setEnabled(false);
    m_deleteMeasurementButton->setEnabled(false);
    m_deleteSubjectButton->setEnabled(true);
    m_editSubjectButton->setEnabled(m_subjectList.rowCount() > 0);
    m_active = ActiveList::Subjects;
}

void ReadingWindow::measurementListEntered() {
    m_deleteMeasurementButton->setEnabled(false);
}

void ReadingWindow::measurementColumnEntered() {
    const bool hasRow = currentRow(m_measurementView) >= 0;
    m_loadButton->setEnabled(hasRow);
    m_editMeasurementButton->setEnabled(hasRow);
    m_deleteMeasurementButton->setEnabled(hasRow);
    m_editSubjectButton->setEnabled(false);
    m_deleteSubjectButton->setEnabled(false);
    m_active = ActiveList::Measurements;
}

void ReadingWindow::searchTextChanged(const QString &text) {
    moveToSubject(m_subjectList.locatePrefix(readingSearchColumn(m_context.sortCode), text.trimmed()));
}

void ReadingWindow::changeSort(int code) {
    for (QToolButton *b :
         {m_editSubjectButton, m_deleteSubjectButton, m_editMeasurementButton, m_deleteMeasurementButton})
        b->setEnabled(false);
    const qint64 bookmark = m_subjectList.keyAt(currentRow(m_subjectView));
    m_context.sortCode = code;
    m_subjectList.setSortCode(code);
    const int row = m_subjectList.rowOfKey(bookmark);
    moveToSubject(row >= 0 ? row : 0);
    m_subjectView->setFocus();
}

void ReadingWindow::loadClicked() {
    const int row = currentRow(m_measurementView);
    if (row < 0)
        return;
    const auto stored = m_measurements.fetch(m_measurementList.keyAt(row));
    const auto subject = m_subjectList.subjectAt(currentRow(m_subjectView));
    if (!stored || !subject) {
        reportFailure(u"这笔经络能量数据无法读取。"_s, m_measurementList.lastError());
        return;
    }
    if (m_caller == Caller::MeasurementWindow)
        loadIntoCurrent(m_context.current, *subject, *stored);
    else if (m_comparison)
        *m_comparison = comparisonRecordOf(*subject, *stored);
    accept();
}

void ReadingWindow::subjectDoubleClicked() {
    editSubject();
}

void ReadingWindow::editSubjectClicked() {
    editSubject();
}

void ReadingWindow::editSubject() {
    const qint64 key = m_subjectList.keyAt(currentRow(m_subjectView));
    if (key == 0)
        return;
    // The editor opens above this window: hiding a dialog that runs modally would end it.
    bool added = false; // modify mode
    SubjectEditor editor(m_context, added, key, this);
    if (editor.exec() == QDialog::Accepted)
        reloadSubjects(m_subjectList.rowOfKey(key), key);
    m_subjectView->setFocus();
}

int ReadingWindow::askToDelete(ActiveList list, QTableView *view, const QString &question) {
    m_context.tone(1);
    const int row = currentRow(view);
    if (m_active != list || row < 0)
        return -1;
    view->setFocus();
    return m_context.prompter.showMessageBox(AskCaution, question) ? row : -1;
}

void ReadingWindow::deleteSubjectClicked() {
    const int row = askToDelete(ActiveList::Subjects, m_subjectView,
                                u"确定要删除本受测者的所有数据吗? (包括所有检测数据)"_s);
    if (row >= 0) {
        QString error;
        if (m_subjects.removeWithMeasurements(m_subjectList.keyAt(row), &error))
            reloadSubjects(row, 0);
        else
            reportFailure(u"受测者数据未能删除，数据库没有任何更改。"_s, error);
    }
    showCount();
}

void ReadingWindow::editMeasurementClicked() {
    const int row = currentRow(m_measurementView);
    if (row < 0)
        return;
    const qint64 subjectKey = m_subjectList.keyAt(currentRow(m_subjectView));
    const qint64 key = m_measurementList.keyAt(row);
    if (m_openManualEntry)
        m_openManualEntry(key, this);
    m_subjectList.invalidateRows();
    moveToSubject(m_subjectList.rowOfKey(subjectKey));
    m_measurementList.refresh();
    const int changed = m_measurementList.rowOfKey(key);
    setCurrentRow(m_measurementView, changed >= 0 ? changed : 0);
    measurementRowChanged();
    m_measurementView->setFocus();
}

void ReadingWindow::deleteMeasurementClicked() {
    const int row =
        askToDelete(ActiveList::Measurements, m_measurementView, u"确定要删除这笔经络能量数据吗?"_s);
    if (row >= 0) {
        QString error;
        if (deleteMeasurement(m_measurements, m_context.current, m_measurementList.keyAt(row), &error)) {
            m_measurementList.refresh();
            const int next = qMin(row, m_measurementList.rowCount() - 1);
            if (next >= 0)
                setCurrentRow(m_measurementView, next);
            else
                measurementRowChanged();
        } else {
            reportFailure(u"经络能量数据未能删除，数据库没有任何更改。"_s, error);
        }
    }
    showCount();
}

void ReadingWindow::reportFailure(const QString &what, const QString &error) {
    m_context.prompter.showMessageBox(NoteError, error.isEmpty() ? what : what + u"\n"_s + error);
}

void ReadingWindow::reject() {
    // Only a load tells the comparison window that there is something to compare.
    if (m_comparison)
        m_comparison->loaded = false;
    QDialog::reject();
}

} // namespace orlu
