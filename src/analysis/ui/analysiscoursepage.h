#pragma once

#include "courses/coursestore.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QToolButton;

namespace orlu {

class CoursePicture;
class LaunchPort;
class SelectionPaste;

// Page "专家疗程": the names of the matching user courses, the chosen course's
// description and picture and its four launch buttons.
class AnalysisCoursePage : public QWidget {
    Q_OBJECT
public:
    AnalysisCoursePage(LaunchPort &launcher, QWidget *parent = nullptr);

    // The user course set the names were matched from.
    // The user course set while the analysis window is open; nullptr otherwise.
    void setCourseStore(const CourseStore *store) { m_store = store; }
    // Fills the list; selects and shows the first course, or empties the page.
    void setCourses(const QStringList &names);
    SelectionPaste &selection() const { return *m_selection; }
    // The course shown, if any.
    const std::optional<Course> &shownCourse() const { return m_course; }

private:
    void courseSelected();
    void showCourse(const QString &name);
    void launchButtonClick(int k);

    LaunchPort &m_launcher;
    const CourseStore *m_store = nullptr;
    std::optional<Course> m_course;
    QListWidget *m_list = nullptr;
    CoursePicture *m_picture = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QLabel *m_scale = nullptr;
    std::array<QToolButton *, LaunchButtonCount> m_launch{};
    SelectionPaste *m_selection = nullptr;
};

} // namespace orlu
