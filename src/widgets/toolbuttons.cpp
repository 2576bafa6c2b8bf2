#include "widgets/toolbuttons.h"

#include <QIcon>
#include <QToolButton>

namespace orlu {

QToolButton *makeToolButton(const QString &objectName, const QString &text, const QString &hint,
                            QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(text);
    button->setToolTip(hint);
    return button;
}

QToolButton *makeToolButton(const QString &objectName, const QString &text, const QString &hint,
                            const QIcon &icon, QWidget *parent) {
    QToolButton *button = makeToolButton(objectName, text, hint, parent);
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

} // namespace orlu
