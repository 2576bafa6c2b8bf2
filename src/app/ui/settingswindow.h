#pragma once

#include "core/settings.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QTabWidget;
class QToolButton;

namespace orlu {

class LaunchPort;
class RegisterPage;
class Prompter;

// Converts a filter written as "Description|*.a;*.b|..." into the file
// dialog's form "Description (*.a *.b);;...". A pattern list already shown in
// the description is replaced by the real one, and "*.*" becomes "*" so files
// without an extension are listed too.
QString qtFileFilter(const QString &pipeFilter);

// "用户基本数据设定": the operator's own texts and the six custom launch buttons.
// Storing writes the settings file and emits settingsStored(); the caller then
// shows the new title and applies the custom buttons again.
class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    // Returns the chosen file, or an empty text when the operator cancels.
    using FileChooser = std::function<QString(QWidget *parent, const QString &caption,
                                              const QString &startPath, const QString &filter)>;

    SettingsWindow(Settings &settings, QString settingsPath, LaunchPort &launcher, Prompter &prompter,
                   QWidget *parent = nullptr);

    // Tests answer the browse dialogs through this.
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    static QString programFilter();
    static QString parameterFilter();

signals:
    void settingsStored();

private:
    struct LaunchRow {
        QCheckBox *enabled = nullptr;
        QLineEdit *hint = nullptr;
        QLineEdit *program = nullptr;
        QLineEdit *parameter = nullptr;
    };

    QWidget *createUserPage();
    QWidget *createLaunchPage();
    QLineEdit *createLaunchEdit(const QString &objectName);
    void showSettings();
    void browse(QLineEdit *edit, const QString &caption, const QString &filter);
    void testClicked(int row);
    void storeClicked();

    Settings &m_settings;
    QString m_settingsPath;
    LaunchPort &m_launcher;
    Prompter &m_prompter;
    FileChooser m_chooseFile;

    QTabWidget *m_tabs = nullptr;
    RegisterPage *m_registerPage = nullptr;
    QLineEdit *m_title = nullptr;
    QLineEdit *m_reportTitle = nullptr;
    QLineEdit *m_userData1 = nullptr;
    QLineEdit *m_userData2 = nullptr;
    std::array<LaunchRow, CustomButtonCount> m_rows;
};

} // namespace orlu
