#include "widgets/valuelabel.h"

#include <QLabel>

namespace orlu {

QLabel *makeValueLabel(const QString &objectName, QWidget *parent, const ValueLabelLook &look) {
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    if (look.minimumWidth > 0)
        label->setMinimumWidth(look.minimumWidth);
    label->setFrameStyle(look.frame);
    if (look.whiteField) {
        label->setAutoFillBackground(true);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, Qt::white);
        label->setPalette(pal);
    }
    if (look.selectable)
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace orlu
