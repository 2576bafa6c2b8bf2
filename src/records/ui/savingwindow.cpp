#include "records/ui/savingwindow.h"

#include "core/displaycolumns.h"
#include "records/recordtransfer.h"
#include "records/ui/recordlistwidgets.h"
#include "records/ui/subjecteditor.h"
#include "widgets/toolbuttons.h"
#include "widgets/windowsetup.h"
#include "widgets/valuelabel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString StoreQuestion = u"您要将检测资料存于这个受测者资料中吗？"_s;

} // namespace

SavingWindow::SavingWindow(const RecordContext &context, QWidget *parent)
    : FirstShowDialog(parent)
    , m_context(context)
    , m_subjectList(context.records.subjectList(context.clock))
    , m_measurements(context.records.measurements())
    , m_watcher(context.records.watcher()) {
    whenFirstShown([this] { fillSubjectList(); });
    setUpWindow(this, {.objectName = u"savingWindow"_s, .title = u"经络能量数据储存"_s});
    m_subjectList->setHeaderTitles({u"Index"_s, u"编  号"_s, u"姓  名"_s, u"性别"_s, u"生  日"_s, u"年龄"_s,
                                    u"电  话"_s, u"地  址"_s, u"E-MAIL"_s, u"行动电话"_s, u"传 真"_s});

    auto *bar = new QToolBar(this);
    m_addSubjectButton = addToolButton(bar, u"addSubjectButton"_s, u"新增受测者"_s, u"新增一笔受测者资料"_s);
    m_saveButton = addToolButton(bar, u"saveButton"_s, u"储存数据"_s, u"储存已检测的能量数据"_s);
    m_leaveButton = addToolButton(bar, u"leaveButton"_s, u"离  开"_s, u"离开数据储存系统"_s);

    m_searchBar = new SortSearchBar(u"数据搜寻："_s, this);

    auto *panel = new QGroupBox(u"储存至下列受测者中"_s, this);
    panel->setObjectName(u"selectedSubjectPanel"_s);
    auto *grid = new QGridLayout(panel);
    const std::tuple<const char16_t *, QLabel **, const char16_t *, int, int> cells[] = {
        {u"编号:", &m_numberValue, u"numberValue", 0, 0},
        {u"姓名:", &m_nameValue, u"nameValue", 0, 1},
        {u"生日:", &m_birthDateValue, u"birthDateValue", 0, 2},
        {u"性别:", &m_sexValue, u"sexValue", 1, 0},
        {u"年龄:", &m_ageValue, u"ageValue", 1, 1},
        {u"电话:", &m_telephoneValue, u"telephoneValue", 1, 2},
        {u"行动:", &m_mobileValue, u"mobileValue", 2, 0},
        {u"地址:", &m_addressValue, u"addressValue", 2, 1},
        {u"E-Mail:", &m_emailValue, u"emailValue", 2, 2}};
    for (const auto &[label, value, name, r, c] : cells) {
        *value = makeValueLabel(QString::fromUtf16(name), panel, {.minimumWidth = 90});
        grid->addWidget(new QLabel(QString::fromUtf16(label), panel), r, c * 2);
        grid->addWidget(*value, r, c * 2 + 1);
        grid->setColumnStretch(c * 2 + 1, 1);
    }

    m_listView = new QTableView(this);
    setUpListView(m_listView, u"subjectList"_s);
    m_listView->setModel(m_subjectList.get());
    const int widths[] = {50, 110, 90, 40, 90, 40, 110, 200, 160, 110, 110};
    for (int c = 0; c < SubjectListModel::ColumnCount; ++c)
        m_listView->setColumnWidth(c, widths[c]);

    auto *status = new QLabel(u"请至查询窗口点选受测者数据，或新增一笔受测者基本数据以供储存。"_s, this);
    status->setObjectName(u"statusLine"_s);
    status->setFrameShape(QFrame::StyledPanel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(m_searchBar);
    layout->addWidget(panel);
    layout->addLayout(countRow(this, m_countLabel));
    layout->addWidget(m_listView, 1);
    layout->addWidget(status);
    resize(900, 600);

    auto *watcher = new ListEntryWatcher(m_listView);
    connect(watcher, &ListEntryWatcher::cellEntered, this, &SavingWindow::subjectColumnEntered);
    connect(m_listView, &QTableView::doubleClicked, this, &SavingWindow::subjectDoubleClicked);
    connect(m_addSubjectButton, &QToolButton::clicked, this, &SavingWindow::addSubjectClicked);
    connect(m_saveButton, &QToolButton::clicked, this, &SavingWindow::saveClicked);
    connect(m_leaveButton, &QToolButton::clicked, this, &SavingWindow::reject);
    connect(m_searchBar, &SortSearchBar::searchChanged, this, &SavingWindow::searchTextChanged);
    connect(m_searchBar, &SortSearchBar::sortChanged, this, &SavingWindow::changeSort);
    connect(m_watcher.get(), &RegisterWatcher::changed, this, &SavingWindow::registerChanged);
}

void SavingWindow::fillSubjectList() {
    m_subjectList->open(m_context.subjectOrder);
    m_searchBar->showOrder(m_context.subjectOrder);
    m_searchBar->searchBox()->clear();
    if (m_subjectList->rowCount() > 0)
        setCurrentRow(m_listView, 0);
    showCount();

    const Subject &subject = m_context.current.subject;
    const QString number = subject.number.trimmed();
    const int row = number.isEmpty() ? -1 : m_subjectList->locateNumber(number);
    if (row >= 0) {
        setCurrentRow(m_listView, row);
        m_listView->setFocus();
        // The stored row, not the measurement's copy of it: the subject may have been
        // changed since, and its number may be written in another letter case.
        m_selected = {m_subjectList->subjectAt(row).value_or(subject), true, m_subjectList->keyAt(row)};
    } else {
        m_searchBar->searchBox()->setFocus();
        m_selected = {};
    }
    showSelected();
    if (!m_selected.selected)
        m_sexValue->setText(panelSexText(subject.male));
}

void SavingWindow::showSelected() {
    const bool shown = m_selected.selected;
    const Subject &s = m_selected.subject;
    m_saveButton->setEnabled(shown);
    m_numberValue->setText(shown ? s.number : QString());
    m_nameValue->setText(shown ? s.name : QString());
    m_birthDateValue->setText(shown ? birthDateText(s.birthDate) : QString());
    m_ageValue->setText(shown ? ageText(s.birthDate, m_context.clock.now().date()) : QString());
    m_sexValue->setText(shown ? panelSexText(s.male) : QString());
    m_telephoneValue->setText(shown ? s.telephone : QString());
    m_mobileValue->setText(shown ? s.telephone2 : QString());
    m_addressValue->setText(shown ? s.address : QString());
    m_emailValue->setText(shown ? s.email : QString());
}

void SavingWindow::showCount() {
    m_countLabel->setText(countText(m_subjectList->rowCount(), m_measurements.countAll()));
}

void SavingWindow::selectCurrentRow() {
    const int row = currentRow(m_listView);
    const auto subject = m_subjectList->subjectAt(row);
    if (!subject)
        return;
    m_selected = {*subject, true, m_subjectList->keyAt(row)};
    showSelected();
}

void SavingWindow::subjectColumnEntered() {
    selectCurrentRow();
}

bool SavingWindow::store() {
    // A server that went away and came back is reached again here; one still away is said so.
    if (!m_context.records.reach(m_context.prompter))
        return false;
    QString error;
    if (storeCurrentMeasurement(m_measurements, m_context.current, m_selected.subject, &error) == 0) {
        m_context.prompter.showMessageBox(MessageType::NoteError,
                                          u"经络能量数据未能储存，数据库没有任何更改。\n"_s + error);
        return false;
    }
    accept();
    return true;
}

void SavingWindow::saveClicked() {
    if (m_selected.selected)
        store();
}

void SavingWindow::subjectDoubleClicked() {
    if (currentRow(m_listView) < 0)
        return;
    if (!m_context.prompter.showMessageBox(MessageType::AskQuestion, StoreQuestion))
        return;
    selectCurrentRow();
    store();
}

void SavingWindow::addSubjectClicked() {
    bool added = true; // add mode
    SubjectEditor editor(m_context, added, 0, this);
    editor.exec();
    if (added) {
        m_subjectList->refresh();
        setCurrentRow(m_listView, m_subjectList->rowOfKey(editor.addedKey()));
        showCount();
        selectCurrentRow();
        m_context.tone(AlertTone::Notice);
        if (m_context.prompter.showMessageBox(MessageType::AskQuestion, StoreQuestion))
            store();
        return;
    }
    const int row = m_subjectList->rowOfKey(m_selected.bookmark);
    if (row >= 0)
        setCurrentRow(m_listView, row);
    if (!m_selected.subject.number.trimmed().isEmpty() && m_selected.selected) {
        m_saveButton->setEnabled(true);
        m_listView->setFocus();
    } else {
        m_saveButton->setEnabled(false);
        m_searchBar->searchBox()->setFocus();
    }
}

void SavingWindow::searchTextChanged(const QString &text) {
    const int row = m_subjectList->locatePrefix(savingSearchColumn(m_context.subjectOrder), text.trimmed());
    if (row >= 0)
        setCurrentRow(m_listView, row);
}

void SavingWindow::registerChanged() {
    const qint64 bookmark = m_subjectList->keyAt(currentRow(m_listView));
    m_subjectList->refresh();
    const int row = m_subjectList->rowOfKey(bookmark);
    if (row >= 0)
        setCurrentRow(m_listView, row);
    showCount();
}

void SavingWindow::changeSort(SubjectOrder order) {
    const qint64 bookmark = m_subjectList->keyAt(currentRow(m_listView));
    m_context.subjectOrder = order;
    m_subjectList->setOrder(order);
    const int row = m_subjectList->rowOfKey(bookmark);
    setCurrentRow(m_listView, row >= 0 ? row : 0);
    m_listView->setFocus();
}

} // namespace orlu
