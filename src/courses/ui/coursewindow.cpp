#include "courses/ui/coursewindow.h"

#include "platform/launch.h"
#include "core/numberformat.h"
#include "core/prompter.h"
#include "courses/coursecommands.h"
#include "courses/coursemodels.h"
#include "courses/ui/conditioneditor.h"
#include "courses/ui/courseeditwindow.h"

#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString BrowseStatus = u"【查询疗程模式】"_s;

// The list entered last shows its header in this colour.
const QString HeaderStyle = u"QHeaderView::section { background-color: %1; border: 1px solid palette(mid); "
                            "padding: 2px; } QHeaderView::section:disabled { color: rgb(96, 96, 96); }"_s;
const QString ActiveHeader = HeaderStyle.arg(u"rgb(255, 176, 128)"_s);
const QString InactiveHeader = HeaderStyle.arg(u"palette(button)"_s);

} // namespace

CourseWindow::CourseWindow(CourseStore store, Prompter &prompter, LaunchPort &launcher, AlertTonePlayer tone,
                           QWidget *parent)
    : QDialog(parent)
    , m_store(std::move(store))
    , m_prompter(prompter)
    , m_launcher(launcher)
    , m_tone(std::move(tone))
    , m_chooser(dialogFileChooser(this)) {
    setObjectName(u"courseWindow"_s);
    setWindowTitle(u"自订专家疗程"_s);
    m_courseModel = new CourseListModel(m_store, this);
    m_conditionModel = new ConditionListModel(m_store, this);
    buildLayout();
    connect(m_courseList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &CourseWindow::courseRowChanged);
    connect(m_conditionList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &CourseWindow::conditionRowChanged);

    m_courseModel->reload();
    setEditing(false);
    setStatus(BrowseStatus);
    selectCourseRow(m_courseModel->count() > 0 ? 0 : -1);
    showCurrentCourse();

    updateCommands();
    m_courseList->horizontalHeader()->setStyleSheet(ActiveHeader);
    m_conditionList->horizontalHeader()->setStyleSheet(InactiveHeader);

    m_watcher = new RegisterWatcher(m_store.database(), this);
    connect(m_watcher, &RegisterWatcher::changed, this, &CourseWindow::registerChanged);
}

CourseWindow::~CourseWindow() = default;

void CourseWindow::registerChanged() {
    // An edit in progress keeps what it shows; the lists are read when it ends.
    if (!m_edit.registerChanged())
        return;
    const int courseRow = currentCourseRow();
    const qint64 courseKey = courseRow >= 0 ? m_courseModel->courseAt(courseRow).key : 0;
    const int conditionRow = currentConditionRow();
    const qint64 conditionKey = conditionRow >= 0 ? m_conditionModel->conditionAt(conditionRow).key : 0;
    m_courseModel->reload();
    int row = -1;
    for (int r = 0; r < m_courseModel->count() && row < 0; ++r) {
        if (m_courseModel->courseAt(r).key == courseKey)
            row = r;
    }
    // A course deleted elsewhere gives way to its neighbour.
    if (row < 0 && m_courseModel->count() > 0)
        row = std::clamp(courseRow, 0, m_courseModel->count() - 1);
    selectCourseRow(row);
    showCurrentCourse();
    for (int r = 0; r < m_conditionModel->count(); ++r) {
        if (m_conditionModel->conditionAt(r).key == conditionKey) {
            selectConditionRow(r);
            showCurrentCondition();
            break;
        }
    }
    enterList(m_activeList);
}

void CourseWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_edit.isEditing())
        m_courseList->setFocus();
}

bool CourseWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_courseList)
            enterList(ListKind::Courses);
        else if (watched == m_conditionList)
            enterList(ListKind::Conditions);
    }
    return QDialog::eventFilter(watched, event);
}

void CourseWindow::reject() {
    if (!m_edit.isEditing())
        QDialog::reject();
}

void CourseWindow::playTone(AlertTone tone) {
    if (m_tone)
        m_tone(tone);
}

int CourseWindow::currentCourseRow() const {
    const QModelIndex i = m_courseList->currentIndex();
    return i.isValid() && i.row() < m_courseModel->count() ? i.row() : -1;
}

int CourseWindow::currentConditionRow() const {
    const QModelIndex i = m_conditionList->currentIndex();
    return i.isValid() && i.row() < m_conditionModel->count() ? i.row() : -1;
}

void CourseWindow::selectCourseRow(int row) {
    const QSignalBlocker block(m_courseList->selectionModel());
    if (row < 0 || row >= m_courseModel->count()) {
        m_courseList->selectionModel()->clear();
        return;
    }
    m_courseList->selectionModel()->setCurrentIndex(
        m_courseModel->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_courseList->scrollTo(m_courseModel->index(row, 0));
}

void CourseWindow::selectConditionRow(int row) {
    const QSignalBlocker block(m_conditionList->selectionModel());
    if (row < 0 || row >= m_conditionModel->rowCount()) {
        m_conditionList->selectionModel()->clear();
        return;
    }
    m_conditionList->selectionModel()->setCurrentIndex(
        m_conditionModel->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_conditionList->scrollTo(m_conditionModel->index(row, 0));
}

void CourseWindow::enterList(ListKind list) {
    m_activeList = list;
    const bool courses = list == ListKind::Courses;
    m_courseList->horizontalHeader()->setStyleSheet(courses ? ActiveHeader : InactiveHeader);
    m_conditionList->horizontalHeader()->setStyleSheet(courses ? InactiveHeader : ActiveHeader);
    updateCommands();
}

void CourseWindow::updateCommands() {
    const CourseCommands c =
        CourseCommands::of({m_edit.isEditing(), m_activeList == ListKind::Conditions, m_course.has_value(),
                            m_courseModel->count() > 0, m_conditionModel->count() > 0});
    m_addCourse->setEnabled(c.addCourse);
    m_changeCourse->setEnabled(c.changeCourse);
    m_deleteCourse->setEnabled(c.deleteCourse);
    m_addCondition->setEnabled(c.addCondition);
    m_changeCondition->setEnabled(c.changeCondition);
    m_deleteCondition->setEnabled(c.deleteCondition);
    m_confirm->setEnabled(c.confirm);
    m_abandon->setEnabled(c.abandon);
    m_exit->setEnabled(c.exit);
    m_courseList->setEnabled(c.lists);
    m_conditionList->setEnabled(c.lists);
}

void CourseWindow::courseRowChanged() {
    if (m_edit.isEditing())
        return;
    showCurrentCourse();
    updateCommands();
}

void CourseWindow::conditionRowChanged() {
    if (!m_edit.isEditing())
        showCurrentCondition();
}

void CourseWindow::showCurrentCourse() {
    const int row = currentCourseRow();
    m_course.reset();
    if (row >= 0)
        m_course = m_store.course(m_courseModel->courseAt(row).key);
    if (m_course)
        m_conditionModel->showCourse(m_course->proNo);
    else
        m_conditionModel->clear();

    m_courseNo->setText(m_course ? m_course->proNo : QString());
    m_courseName->setText(m_course ? m_course->name : QString());
    m_description->setPlainText(m_course ? m_course->description : QString());
    m_picture->setPicture(m_course ? m_course->picture : QByteArray());
    const bool scaled = m_course && m_course->scaled;
    m_scale->setChecked(scaled);
    m_picture->setOwnSize(scaled);
    for (int k = 1; k <= LaunchButtonCount; ++k) {
        QToolButton *b = m_launchButtons[k - 1];
        b->setEnabled(m_course && m_course->launchEnabled(k));
        b->setToolTip(m_course ? m_course->hints[k - 1] : QString());
    }
    selectConditionRow(m_conditionModel->count() > 0 ? 0 : -1);
    showCurrentCondition();
    updateCountText();
}

void CourseWindow::showCurrentCondition() {
    const int row = currentConditionRow();
    if (row < 0) {
        m_conditionName->clear();
        m_conditionNote->clear();
        m_required->setChecked(false);
        m_editor->showRule(ConditionRule{});
        return;
    }
    const Condition &c = m_conditionModel->conditionAt(row);
    m_conditionName->setText(c.name);
    m_conditionNote->setText(c.note);
    m_required->setChecked(c.rule.required);
    m_editor->showRule(c.rule);
}

void CourseWindow::updateCountText() {
    m_countLabel->setText(formatInt(m_courseModel->count(), 6) + u"  -  [ "_s +
                          formatInt(m_conditionModel->count(), 6).trimmed() + u" ]"_s);
}

void CourseWindow::setStatus(const QString &text) {
    m_statusLabel->setText(text);
}

void CourseWindow::setEditing(bool editing) {
    m_description->setReadOnly(!editing);
    m_conditionName->setReadOnly(!editing);
    m_conditionNote->setReadOnly(!editing);
    setLockedReadable(m_required, !editing);
    m_editor->setEditable(editing);
    m_loadPicture->setEnabled(editing);
    m_clearPicture->setEnabled(editing);
    m_scale->setEnabled(editing);
}

void CourseWindow::beginEdit(Mode mode) {
    const int row = currentConditionRow();
    const std::optional<qint64> condition =
        row >= 0 ? std::optional(m_conditionModel->conditionAt(row).key) : std::nullopt;
    if (!m_edit.begin(mode, m_course.has_value(), condition))
        return;
    updateCommands();
    if (mode == Mode::AddCondition) {
        m_conditionModel->setPendingRow(true);
        selectConditionRow(m_conditionModel->rowCount() - 1);
        m_conditionName->clear();
        m_conditionNote->clear();
        m_required->setChecked(false);
        m_editor->showRule(ConditionRule{});
        setStatus(u"【新增条件模式】"_s);
    } else {
        showCurrentCondition();
        setStatus(u"【修改疗程模式】"_s);
    }
    setEditing(true);
    m_conditionName->setFocus();
}

void CourseWindow::backToBrowse() {
    const bool readLists = m_edit.end();
    setStatus(BrowseStatus);
    m_conditionModel->setPendingRow(false);
    updateCommands();
    setEditing(false);
    if (readLists)
        registerChanged();
}

void CourseWindow::addConditionClicked() {
    beginEdit(Mode::AddCondition);
}

void CourseWindow::changeConditionClicked() {
    beginEdit(Mode::ChangeCondition);
}

void CourseWindow::confirmClicked() {
    if (!m_edit.isEditing() || !m_course)
        return;
    Condition c;
    if (m_edit.mode() == Mode::ChangeCondition) {
        const int row = m_conditionModel->rowOfKey(m_edit.keyBeforeEdit());
        if (row < 0)
            return;
        c = m_conditionModel->conditionAt(row);
    }
    c.name = m_conditionName->text();
    c.note = m_conditionNote->text();
    c.rule = m_editor->rule();
    c.rule.required = m_required->isChecked();
    Course course = *m_course;
    course.description = m_description->toPlainText();
    course.picture = m_picture->picture();
    course.scaled = m_scale->isChecked();
    if (!m_store.saveCondition(c, course)) {
        // Stay in edit mode: nothing the operator entered is lost.
        m_prompter.showMessageBox(MessageType::NoteError, u"疗程条件储存失败: "_s + m_store.lastError());
        return;
    }
    backToBrowse();
    showCurrentCourse();
    selectConditionRow(m_conditionModel->rowOfKey(c.key));
    showCurrentCondition();
    enterList(ListKind::Conditions);
    m_conditionList->setFocus();
}

void CourseWindow::abandonClicked() {
    if (!m_edit.isEditing())
        return;
    backToBrowse();
    showCurrentCourse();
    const int row = m_conditionModel->rowOfKey(m_edit.keyBeforeEdit());
    selectConditionRow(row >= 0 ? row : (m_conditionModel->count() > 0 ? 0 : -1));
    showCurrentCondition();
    enterList(ListKind::Conditions);
    m_conditionList->setFocus();
}

void CourseWindow::deleteCourseClicked() {
    if (!m_course)
        return;
    playTone(AlertTone::Notice);
    setStatus(u"【删除疗程模式】"_s);
    const int row = currentCourseRow();
    if (m_prompter.showMessageBox(MessageType::AskCaution,
                                  u"您确定要删除【"_s + m_course->name.trimmed() + u"】这笔疗程群组吗 ?"_s)) {
        if (!m_store.deleteCourse(m_course->key))
            m_prompter.showMessageBox(MessageType::NoteError, u"疗程删除失败: "_s + m_store.lastError());
        m_courseModel->reload();
        selectCourseRow(std::min(row, m_courseModel->count() - 1));
    }
    setStatus(BrowseStatus);
    showCurrentCourse();
    updateCommands();
}

void CourseWindow::deleteConditionClicked() {
    const int row = currentConditionRow();
    if (row < 0)
        return;
    const Condition c = m_conditionModel->conditionAt(row);
    playTone(AlertTone::Notice);
    setStatus(u"【删除条件模式】"_s);
    if (m_prompter.showMessageBox(MessageType::AskCaution,
                                  u"您确定要删除【"_s + c.name.trimmed() + u"】这笔条件吗 ?"_s)) {
        if (!m_store.deleteCondition(c.key))
            m_prompter.showMessageBox(MessageType::NoteError, u"疗程条件删除失败: "_s + m_store.lastError());
        m_conditionModel->reload();
        selectConditionRow(std::min(row, m_conditionModel->count() - 1));
    }
    setStatus(BrowseStatus);
    updateCountText();
    updateCommands();
    showCurrentCondition();
}

void CourseWindow::addCourseClicked() {
    runEditWindow(true);
}

void CourseWindow::changeCourseClicked() {
    if (m_course)
        runEditWindow(false);
}

void CourseWindow::runEditWindow(bool add) {
    QString number = m_course ? m_course->proNo : QString();
    const bool wasVisible = isVisible();
    // Hidden, not closed: hiding a dialog the usual way would end the modal loop it runs in.
    QWidget::setVisible(false);
    {
        CourseEditWindow edit(m_store, m_prompter, m_launcher, m_tone,
                              add ? CourseEditWindow::Mode::Add : CourseEditWindow::Mode::Change, m_course,
                              this);
        edit.setFileChooser(m_chooser);
        edit.exec();
        if (add && !edit.addedNumber().isEmpty())
            number = edit.addedNumber();
    }
    m_courseModel->reload();
    const int row = m_courseModel->rowOfNumber(number);
    selectCourseRow(row >= 0 ? row : (m_courseModel->count() > 0 ? 0 : -1));
    showCurrentCourse();
    updateCommands();
    if (wasVisible)
        show();
}

void CourseWindow::loadPictureClicked() {
    choosePicture(m_picture, m_chooser, m_prompter);
}

void CourseWindow::clearPictureClicked() {
    m_picture->setPicture({});
}

void CourseWindow::launchClicked(int k) {
    if (!m_course || !m_course->launchEnabled(k))
        return;
    launch(m_launcher, m_course->programs[k - 1].trimmed(), m_course->parameters[k - 1].trimmed());
}

} // namespace orlu
