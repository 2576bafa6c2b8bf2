#pragma once

#include <QSize>
#include <QString>

class QDialog;

namespace orlu {

// The opening lines every function window has in common.
struct WindowSetup {
    QString objectName; // tests find the window by it
    QString title;
    bool modal = true;
    // Valid: the window keeps this size and its title bar has only the close box.
    QSize fixedSize = {};
};

void setUpWindow(QDialog *window, const WindowSetup &setup);

} // namespace orlu
