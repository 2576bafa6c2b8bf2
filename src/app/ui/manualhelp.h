#pragma once

#include <QObject>

class QWidget;

namespace orlu {

class LaunchPort;

// Opens the operator's manual at the section of `window` (or of the window beneath it) through
// `launcher`, with the desktop's browser. A manual that is missing or cannot be opened is told
// in the status line of the window, or of the nearest window beneath it that has one.
void openManualFor(QWidget *window, LaunchPort &launcher);

// F1 in any window of the program opens the manual at that window's section: installed on the
// application, this filter sees the key before the window does.
class ManualHelpKey : public QObject {
public:
    explicit ManualHelpKey(LaunchPort &launcher, QObject *parent = nullptr)
        : QObject(parent)
        , m_launcher(launcher) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LaunchPort &m_launcher;
};

} // namespace orlu
