#pragma once

#include "core/alerttone.h"
#include "courses/courseeditmode.h"
#include "courses/coursestore.h"
#include "storage/registerwatcher.h"
#include "courses/ui/coursepicture.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace orlu {

class ConditionEditor;
class ConditionListModel;
class CourseListModel;
class LaunchPort;
class Prompter;

// The course window "自订专家疗程": the user's courses of the main database,
// the conditions of the selected course and the condition editor. Object
// names: tool bar "addCourseButton", "changeCourseButton",
// "deleteCourseButton", "addConditionButton", "changeConditionButton",
// "deleteConditionButton", "confirmButton", "abandonButton", "exitButton";
// "courseList", "conditionList", "countLabel", "statusLabel";
// "courseNoLabel", "courseNameLabel", "conditionNameEdit",
// "conditionNoteEdit", "requiredCheck"; "conditionEditor"; "descriptionEdit",
// "picture", "loadPictureButton", "clearPictureButton", "scaleCheck";
// "launchButton1".."launchButton4".
class CourseWindow : public QDialog {
    Q_OBJECT
public:
    CourseWindow(CourseStore store, Prompter &prompter, LaunchPort &launcher, AlertTonePlayer tone,
                 QWidget *parent = nullptr);
    ~CourseWindow() override;

    using Mode = CourseEditMode::Mode;
    Mode mode() const { return m_edit.mode(); }

    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

public slots:
    // Closing is refused while a condition is being edited: "离  开" is off then, and
    // the window's close box or Esc must not drop the edit either.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class ListKind { Courses, Conditions };

    void buildLayout();
    QWidget *buildToolBar();
    QWidget *buildListColumn();
    QWidget *buildCourseData();
    QWidget *buildPictureBox();

    // Handlers of the tool bar and the editing controls.
    void addCourseClicked();
    void changeCourseClicked();
    void deleteCourseClicked();
    void addConditionClicked();
    void changeConditionClicked();
    void deleteConditionClicked();
    void confirmClicked();
    void abandonClicked();
    void loadPictureClicked();
    void clearPictureClicked();
    void launchClicked(int k);

    void enterList(ListKind list);
    // Opens the commands the edit mode, the list entered last and the lists' contents allow.
    void updateCommands();
    void courseRowChanged();
    void conditionRowChanged();
    void showCurrentCourse();
    void showCurrentCondition();
    void selectCourseRow(int row);
    void selectConditionRow(int row);
    void beginEdit(Mode mode);
    void backToBrowse();
    void setEditing(bool editing);
    void updateCountText();
    void setStatus(const QString &text);
    void runEditWindow(bool add);
    int currentCourseRow() const;
    int currentConditionRow() const;
    void playTone(AlertTone tone);
    // Another seat changed the register: the lists are read again on the same course and condition.
    void registerChanged();

    CourseStore m_store;
    Prompter &m_prompter;
    LaunchPort &m_launcher;
    AlertTonePlayer m_tone;
    FileChooser m_chooser;

    CourseListModel *m_courseModel = nullptr;
    ConditionListModel *m_conditionModel = nullptr;
    std::optional<Course> m_course;
    CourseEditMode m_edit;
    ListKind m_activeList = ListKind::Courses;
    RegisterWatcher *m_watcher = nullptr;

    QToolButton *m_addCourse = nullptr;
    QToolButton *m_changeCourse = nullptr;
    QToolButton *m_deleteCourse = nullptr;
    QToolButton *m_addCondition = nullptr;
    QToolButton *m_changeCondition = nullptr;
    QToolButton *m_deleteCondition = nullptr;
    QToolButton *m_confirm = nullptr;
    QToolButton *m_abandon = nullptr;
    QToolButton *m_exit = nullptr;
    QTableView *m_courseList = nullptr;
    QTableView *m_conditionList = nullptr;
    QLabel *m_countLabel = nullptr;
    QLabel *m_statusLabel = nullptr;
    QLabel *m_courseNo = nullptr;
    QLabel *m_courseName = nullptr;
    QLineEdit *m_conditionName = nullptr;
    QLineEdit *m_conditionNote = nullptr;
    QCheckBox *m_required = nullptr;
    QWidget *m_courseData = nullptr;
    ConditionEditor *m_editor = nullptr;
    QPlainTextEdit *m_description = nullptr;
    CoursePicture *m_picture = nullptr;
    QPushButton *m_loadPicture = nullptr;
    QPushButton *m_clearPicture = nullptr;
    QCheckBox *m_scale = nullptr;
    std::array<QToolButton *, LaunchButtonCount> m_launchButtons{};
};

} // namespace orlu
