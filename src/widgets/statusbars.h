#pragma once

#include <QString>

class QLabel;
class QStatusBar;
class QWidget;

namespace orlu {

// A window's status bar, named "statusBar", without a size grip (the windows keep their size).
QStatusBar *makeStatusBar(QWidget *parent = nullptr);
// Adds a text label named `objectName` that takes the bar's free width.
QLabel *addStatusText(QStatusBar *bar, const QString &objectName);

} // namespace orlu
