#include "measure/ui/windowparts.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace orlu::windowparts {

using namespace Qt::StringLiterals;

QLabel *addValueHeadings(QBoxLayout *into, QWidget *parent, const QString &heading) {
    auto *row = new QHBoxLayout;
    auto *english = new QLabel(u"Meridian Energy Values"_s, parent);
    QFont ef = english->font();
    ef.setItalic(true);
    ef.setBold(true);
    english->setFont(ef);
    english->setStyleSheet(u"color: rgb(0, 0, 128)"_s);
    auto *own = new QLabel(heading, parent);
    own->setObjectName(u"headingLabel"_s);
    QFont hf = own->font();
    hf.setBold(true);
    hf.setPointSize(hf.pointSize() + 2);
    own->setFont(hf);
    row->addWidget(english);
    row->addStretch();
    row->addWidget(own);
    into->addLayout(row);
    return own;
}

PotentialChoice potentialChoice(QWidget *parent) {
    auto *group = new QGroupBox(u"测量电位设定"_s, parent);
    group->setObjectName(u"potentialGroup"_s);
    auto *v = new QVBoxLayout(group);
    auto *high = new QRadioButton(u"高电位测量"_s, group);
    high->setObjectName(u"highPotentialRadio"_s);
    auto *standard = new QRadioButton(u"标准电位测量"_s, group);
    standard->setObjectName(u"standardPotentialRadio"_s);
    v->addWidget(high);
    v->addWidget(standard);
    v->addStretch();
    return {group, high, standard};
}

} // namespace orlu::windowparts
