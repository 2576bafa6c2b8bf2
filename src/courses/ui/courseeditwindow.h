#pragma once

#include "core/alerttone.h"
#include "courses/coursestore.h"
#include "courses/ui/coursepicture.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace orlu {

class LaunchPort;
class Prompter;

// The course edit window "专家疗程异动": adds a course or changes the number's
// course (name, picture, description, launch buttons). Object names:
// "numberEdit", "nameEdit", "picture", "loadPictureButton",
// "clearPictureButton", "ownSizeCheck", "descriptionEdit", for k = 1..4
// "launchCheck<k>", "hintEdit<k>", "programEdit<k>", "programBrowseButton<k>",
// "parameterEdit<k>", "parameterBrowseButton<k>", "testButton<k>"; tool bar
// "saveButton", "exitButton".
class CourseEditWindow : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Change };

    // `current` is the course to change (Change mode); Add mode ignores it.
    CourseEditWindow(CourseStore &store, Prompter &prompter, LaunchPort &launcher, AlertTonePlayer tone,
                     Mode mode, const std::optional<Course> &current, QWidget *parent = nullptr);

    // The number of the course stored by an add; empty when nothing was added.
    QString addedNumber() const { return m_addedNumber; }

    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

private:
    void buildLayout();
    QWidget *buildLaunchRows();
    void fill(const Course &course);
    Course course() const;

    void saveClicked();
    void loadPictureClicked();
    void clearPictureClicked();
    void browseClicked(QLineEdit *edit, const QString &caption, const QString &filter);
    void testClicked(int k);

    CourseStore &m_store;
    Prompter &m_prompter;
    LaunchPort &m_launcher;
    AlertTonePlayer m_tone;
    Mode m_mode;
    std::optional<Course> m_current;
    FileChooser m_chooser;
    QString m_addedNumber;

    QToolButton *m_saveButton = nullptr;
    QToolButton *m_exitButton = nullptr;
    QLineEdit *m_number = nullptr;
    QLineEdit *m_name = nullptr;
    CoursePicture *m_picture = nullptr;
    QCheckBox *m_ownSize = nullptr;
    QPlainTextEdit *m_description = nullptr;
    std::array<QCheckBox *, LaunchButtonCount> m_launchChecks{};
    std::array<QLineEdit *, LaunchButtonCount> m_hints{};
    std::array<QLineEdit *, LaunchButtonCount> m_programs{};
    std::array<QLineEdit *, LaunchButtonCount> m_parameters{};
};

} // namespace orlu
