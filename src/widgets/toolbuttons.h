#pragma once

#include <QString>
#include <QStyle>

class QAction;
class QIcon;
class QToolBar;
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
// A text-only tool button added to `bar`, raised under the pointer.
QToolButton *addToolButton(QToolBar *bar, const QString &objectName, const QString &text,
                           const QString &hint);

// A tool bar "toolBar" of captioned buttons under their icons.
QToolBar *makeIconToolBar(QWidget *parent);
// An action "<name>Action" on such a bar, with a standard icon and its hint; its button is
// "<name>Button".
QAction *addIconTool(QToolBar *bar, const QString &name, const QString &caption, const QString &hint,
                     QStyle::StandardPixmap icon);

} // namespace orlu
