#pragma once

#include <QString>

class QBoxLayout;
class QLabel;
class QRadioButton;
class QWidget;

// Pieces the measurement and manual entry windows build alike.
namespace orlu::windowparts {

// The headings above a value grid: "Meridian Energy Values" on the left, the
// window's own heading on the right (returned, so a window can change it).
QLabel *addValueHeadings(QBoxLayout *into, QWidget *parent, const QString &heading);

struct PotentialChoice {
    QWidget *group = nullptr;
    QRadioButton *high = nullptr;
    QRadioButton *standard = nullptr;
};
// The group "测量电位设定" with "高电位测量" and "标准电位测量".
PotentialChoice potentialChoice(QWidget *parent);

} // namespace orlu::windowparts
