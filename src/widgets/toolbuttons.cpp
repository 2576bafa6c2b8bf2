#include "widgets/toolbuttons.h"

#include <QAction>
#include <QIcon>
#include <QToolBar>
#include <QToolButton>

namespace orlu {

using namespace Qt::StringLiterals;

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

QToolButton *addToolButton(QToolBar *bar, const QString &objectName, const QString &text,
                           const QString &hint) {
    QToolButton *button = makeToolButton(objectName, text, hint, bar);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

QToolBar *makeIconToolBar(QWidget *parent) {
    auto *bar = new QToolBar(parent);
    bar->setObjectName(u"toolBar"_s);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(28, 28));
    return bar;
}

QAction *addIconTool(QToolBar *bar, const QString &name, const QString &caption, const QString &hint,
                     QStyle::StandardPixmap icon) {
    QAction *a = bar->addAction(bar->style()->standardIcon(icon), caption);
    a->setObjectName(name + u"Action"_s);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    bar->widgetForAction(a)->setObjectName(name + u"Button"_s);
    return a;
}

} // namespace orlu
