#pragma once

#include <QObject>

class QWidget;

namespace orlu {

// Opens the operator's manual at the section of `window` (or of the window beneath it) with
// the desktop's browser. A manual that is missing or cannot be opened is told in the status
// line of the window, or of the nearest window beneath it that has one.
void openManualFor(QWidget *window);

// F1 in any window of the program opens the manual at that window's section: installed on the
// application, this filter sees the key before the window does.
class ManualHelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace orlu
