#pragma once

#include <QFrame>
#include <QString>

class QLabel;
class QWidget;

namespace orlu {

// How a label that shows one value stands out from its captions.
struct ValueLabelLook {
    int minimumWidth = 0;
    int frame = QFrame::Panel | QFrame::Sunken; // QFrame::NoFrame: none
    bool whiteField = false;                    // filled white, like a read-only field
    bool selectable = false;                    // the value can be selected and copied
};

// A label named `objectName` (tests find it by that name) that shows one value.
QLabel *makeValueLabel(const QString &objectName, QWidget *parent, const ValueLabelLook &look);

} // namespace orlu
