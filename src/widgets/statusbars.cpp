#include "widgets/statusbars.h"

#include <QLabel>
#include <QStatusBar>

namespace orlu {

QStatusBar *makeStatusBar(QWidget *parent) {
    auto *bar = new QStatusBar(parent);
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setSizeGripEnabled(false);
    return bar;
}

QLabel *addStatusText(QStatusBar *bar, const QString &objectName) {
    auto *text = new QLabel(bar);
    text->setObjectName(objectName);
    bar->addWidget(text, 1);
    return text;
}

} // namespace orlu
