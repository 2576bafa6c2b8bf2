#include "records/ui/readingwindow.h"

#include "core/displaycolumns.h"
#include "records/recordtransfer.h"
#include "storage/sqlrow.h"
#include "records/ui/recordlistwidgets.h"
#include "records/ui/recordbrowser.h"
#include "records/ui/subjecteditor.h"
#include "widgets/toolbuttons.h"
#include "widgets/windowsetup.h"

#include <QGridLayout>
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
                             ManualEntryOpener openManualEntry, const ReadingToolsMaker &makeTools,
                             QWidget *parent)
    : FirstShowDialog(parent)
    , m_context(context)
    , m_caller(caller)
    , m_comparison(comparison)
    , m_openManualEntry(std::move(openManualEntry))
    , m_browser(new RecordBrowser(context, u"数据搜寻:"_s, this))
    , m_subjects(context.records.subjects())
    , m_measurements(context.records.measurements()) {
    whenFirstShown([this] { openAtCurrentSubject(); });
    setUpWindow(this, {.objectName = u"readingWindow"_s, .title = u"经络能量数据读取"_s});

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
    MeasurementListModel &measurements = m_browser->measurementList();
    if (makeTools)
        m_tools = makeTools(bar, m_context,
                            {[&measurements] { return measurements.subjectNumber(); },
                             [this] { return m_browser->measurementKey(); },
                             [this, &measurements](qint64 key) {
                                 if (const int row = measurements.rowOfKey(key); row >= 0)
                                     setCurrentRow(m_measurementView, row);
                             }},
                            this);
    m_leaveButton = addToolButton(bar, u"leaveButton"_s, u"离  开"_s, u"离开经络能量读取"_s);

    m_subjectView = m_browser->subjectView();
    m_measurementView = m_browser->measurementView();
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
    layout->addWidget(m_browser->searchBar());
    layout->addLayout(m_browser->countRow());
    layout->addLayout(lists, 1);
    resize(1000, 640);

    auto *subjectWatcher = new ListEntryWatcher(m_subjectView);
    connect(subjectWatcher, &ListEntryWatcher::listEntered, this, &ReadingWindow::subjectListEntered);
    connect(subjectWatcher, &ListEntryWatcher::cellEntered, this, &ReadingWindow::subjectColumnEntered);
    auto *measurementWatcher = new ListEntryWatcher(m_measurementView);
    connect(measurementWatcher, &ListEntryWatcher::listEntered, this, &ReadingWindow::measurementListEntered);
    connect(measurementWatcher, &ListEntryWatcher::cellEntered, this,
            &ReadingWindow::measurementColumnEntered);
    connect(m_browser, &RecordBrowser::subjectChanged, this, &ReadingWindow::subjectRowChanged);
    connect(m_browser, &RecordBrowser::measurementChanged, this, &ReadingWindow::measurementRowChanged);
    connect(m_browser, &RecordBrowser::sortChanged, this, &ReadingWindow::sortChanged);
    // Every change of the measurement list is a reset; no measurement, no trend.
    if (m_tools)
        connect(&measurements, &QAbstractItemModel::modelReset, this,
                [this, &measurements] { m_tools->setMeasurementCount(measurements.rowCount()); });
    connect(m_subjectView, &QTableView::doubleClicked, this, &ReadingWindow::subjectDoubleClicked);
    connect(m_measurementView, &QTableView::doubleClicked, this, &ReadingWindow::loadClicked);

    connect(m_loadButton, &QToolButton::clicked, this, &ReadingWindow::loadClicked);
    connect(m_editSubjectButton, &QToolButton::clicked, this, &ReadingWindow::editSubjectClicked);
    connect(m_deleteSubjectButton, &QToolButton::clicked, this, &ReadingWindow::deleteSubjectClicked);
    connect(m_editMeasurementButton, &QToolButton::clicked, this, &ReadingWindow::editMeasurementClicked);
    connect(m_deleteMeasurementButton, &QToolButton::clicked, this, &ReadingWindow::deleteMeasurementClicked);
    connect(m_leaveButton, &QToolButton::clicked, this, &ReadingWindow::reject);
}

void ReadingWindow::openAtCurrentSubject() {
    for (QToolButton *b : {m_loadButton, m_editSubjectButton, m_deleteSubjectButton, m_editMeasurementButton,
                           m_deleteMeasurementButton})
        b->setEnabled(false);
    const Subject &subject = m_context.current.subject;
    m_browser->open(subject.number);
    if (m_caller == Caller::MeasurementWindow) {
        const SubjectColumn column = readingSearchColumn(m_context.subjectOrder);
        m_browser->moveToSubject(m_browser->subjectList().locatePrefix(column, subjectText(subject, column)));
    }
    m_subjectView->setFocus();
}

SubjectListModel &ReadingWindow::subjectList() {
    return m_browser->subjectList();
}

MeasurementListModel &ReadingWindow::measurementList() {
    return m_browser->measurementList();
}

void ReadingWindow::subjectRowChanged() {
    const qint64 key = m_browser->subjectKey();
    const auto stored = key > 0 ? m_subjects.fetch(key) : std::nullopt;
    m_subjectMemo->setPlainText(stored ? memoToBoxText(stored->memo) : QString());
}

void ReadingWindow::measurementRowChanged() {
    const qint64 key = m_browser->measurementKey();
    m_shownMeasurement = key > 0 ? m_measurements.fetch(key) : std::nullopt;
    m_measurementMemo->setPlainText(m_shownMeasurement ? memoToBoxText(m_shownMeasurement->memo) : QString());
}

void ReadingWindow::subjectListEntered() {
    m_deleteSubjectButton->setEnabled(false);
}

void ReadingWindow::subjectColumnEntered() {
    m_loadButton->setEnabled(false);
    m_editMeasurementButton->setEnabled(false);
    m_deleteMeasurementButton->setEnabled(false);
    m_deleteSubjectButton->setEnabled(true);
    m_editSubjectButton->setEnabled(m_browser->subjectList().rowCount() > 0);
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

void ReadingWindow::sortChanged() {
    for (QToolButton *b :
         {m_editSubjectButton, m_deleteSubjectButton, m_editMeasurementButton, m_deleteMeasurementButton})
        b->setEnabled(false);
}

void ReadingWindow::loadClicked() {
    const int row = currentRow(m_measurementView);
    if (row < 0)
        return;
    const auto stored = m_measurements.fetch(m_browser->measurementList().keyAt(row));
    const auto subject = m_browser->subjectList().subjectAt(currentRow(m_subjectView));
    if (!stored || !subject) {
        reportFailure(u"这笔经络能量数据无法读取。"_s, m_browser->measurementList().lastError());
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
    const qint64 key = m_browser->subjectList().keyAt(currentRow(m_subjectView));
    if (key == 0)
        return;
    // The editor opens above this window: hiding a dialog that runs modally would end it.
    bool added = false; // modify mode
    SubjectEditor editor(m_context, added, key, this);
    if (editor.exec() == QDialog::Accepted)
        m_browser->reloadSubjects(m_browser->subjectList().rowOfKey(key), key);
    m_subjectView->setFocus();
}

int ReadingWindow::askToDelete(ActiveList list, QTableView *view, const QString &question) {
    m_context.tone(AlertTone::Notice);
    const int row = currentRow(view);
    if (m_active != list || row < 0)
        return -1;
    view->setFocus();
    return m_context.prompter.showMessageBox(MessageType::AskCaution, question) ? row : -1;
}

QString ReadingWindow::subjectNamed(int row) const {
    const std::optional<Subject> subject = m_browser->subjectList().subjectAt(row);
    return subject ? u"编号: "_s + subject->number + u"    姓名: "_s + subject->name : QString();
}

void ReadingWindow::deleteSubjectClicked() {
    const int shown = currentRow(m_subjectView);
    const int row =
        askToDelete(ActiveList::Subjects, m_subjectView,
                    u"确定要删除本受测者的所有数据吗? (包括所有检测数据)\n"_s + subjectNamed(shown) +
                        u"\n检测数据: %1 笔"_s.arg(m_browser->measurementList().rowCount()));
    if (row >= 0) {
        QString error;
        if (m_subjects.removeWithMeasurements(m_browser->subjectList().keyAt(row), &error))
            m_browser->reloadSubjects(row, 0);
        else
            reportFailure(u"受测者数据未能删除，数据库没有任何更改。"_s, error);
    }
    m_browser->showCount();
}

void ReadingWindow::editMeasurementClicked() {
    const int row = currentRow(m_measurementView);
    if (row < 0)
        return;
    const qint64 subjectKey = m_browser->subjectList().keyAt(currentRow(m_subjectView));
    const qint64 key = m_browser->measurementList().keyAt(row);
    if (m_openManualEntry)
        m_openManualEntry(key, this);
    m_browser->subjectList().invalidateRows();
    m_browser->moveToSubject(m_browser->subjectList().rowOfKey(subjectKey));
    m_browser->measurementList().refresh();
    const int changed = m_browser->measurementList().rowOfKey(key);
    setCurrentRow(m_measurementView, changed >= 0 ? changed : 0);
    measurementRowChanged();
    m_measurementView->setFocus();
}

void ReadingWindow::deleteMeasurementClicked() {
    const double at = m_shownMeasurement ? m_shownMeasurement->measuredAt : 0;
    const int row = askToDelete(ActiveList::Measurements, m_measurementView,
                                u"确定要删除这笔经络能量数据吗?\n"_s +
                                    subjectNamed(currentRow(m_subjectView)) + u"\n测量日期: "_s +
                                    measurementDateText(at) + u"    测量时间: "_s + measurementTimeText(at));
    if (row >= 0) {
        QString error;
        // What the operator saw is what goes: a row another seat changed since is kept.
        const qint64 key = m_browser->measurementList().keyAt(row);
        const MeasurementRecord *shown =
            m_shownMeasurement && m_shownMeasurement->key == key ? &*m_shownMeasurement : nullptr;
        if (!shown)
            error = sqlrow::rowGoneText();
        if (shown && deleteMeasurement(m_measurements, m_context.current, key, &error, shown)) {
            m_browser->measurementList().refresh();
            const int next = qMin(row, m_browser->measurementList().rowCount() - 1);
            if (next >= 0)
                setCurrentRow(m_measurementView, next);
            else
                measurementRowChanged();
        } else {
            reportFailure(u"经络能量数据未能删除，数据库没有任何更改。"_s, error);
        }
    }
    m_browser->showCount();
}

void ReadingWindow::reportFailure(const QString &what, const QString &error) {
    m_context.prompter.showMessageBox(MessageType::NoteError,
                                      error.isEmpty() ? what : what + u"\n"_s + error);
}

void ReadingWindow::reject() {
    // Only a load tells the comparison window that there is something to compare.
    if (m_comparison)
        m_comparison->loaded = false;
    QDialog::reject();
}

} // namespace orlu
