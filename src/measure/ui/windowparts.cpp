#include "measure/ui/windowparts.h"

#include <QAction>
#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QToolBar>

namespace orlu::windowparts {

using namespace Qt::StringLiterals;

QToolBar *toolBar(QWidget *parent) {
    auto *bar = new QToolBar(parent);
    bar->setObjectName(u"toolBar"_s);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(28, 28));
    return bar;
}

QAction *addTool(QToolBar *bar, const QString &name, const QString &caption, const QString &hint,
                 QStyle::StandardPixmap icon) {
    QAction *a = bar->addAction(bar->style()->standardIcon(icon), caption);
    a->setObjectName(name + u"Action"_s);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    bar->widgetForAction(a)->setObjectName(name + u"Button"_s);
    return a;
}

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
