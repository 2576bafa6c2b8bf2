#pragma once

#include <QString>

class QIcon;
class QToolButton;
class QWidget;

namespace orlu {

// A tool button with its object name, text and hint (its tool tip). Windows use tool buttons
// rather than push buttons so that Return in an edit field never presses one.
QToolButton *makeToolButton(const QString &objectName, const QString &text, const QString &hint,
                            QWidget *parent = nullptr);
// The same with an icon beside the text.
QToolButton *makeToolButton(const QString &objectName, const QString &text, const QString &hint,
                            const QIcon &icon, QWidget *parent = nullptr);

} // namespace orlu
