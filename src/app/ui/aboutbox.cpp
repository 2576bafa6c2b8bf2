#include "app/ui/aboutbox.h"

#include "core/settings.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

AboutBox::AboutBox(const AboutDeviceLines &device, QWidget *parent)
    : QDialog(parent) {
    setObjectName(u"aboutBox"_s);
    setWindowTitle(u"关于版本数据"_s);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    auto addLine = [&](const QString &text, const QString &name, const QString &style = QString()) {
        auto *l = new QLabel(text, this);
        l->setObjectName(name);
        if (!style.isEmpty())
            l->setStyleSheet(style);
        layout->addWidget(l);
        return l;
    };
    addLine(u"O.R.L.U. 经络能量分析仪"_s, u"productLine"_s,
            u"font-size: 18px; font-weight: bold; color: maroon;"_s);
    addLine(u"KY-Professional Ver: 5 tw (Build 5.07)"_s, u"buildLine"_s);
    addLine(u"For: Windows 98se/ME/2000/XP"_s, u"platformLine"_s);
    addLine(u"国际简体中文版"_s, u"editionLine"_s);
    addLine(u"澄霁事业有限公司"_s, u"makerLine"_s);

    auto *grid = new QGridLayout;
    auto addDevice = [&](int row, const QString &caption, const QString &value, const QString &name) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        auto *v = new QLabel(value, this);
        v->setObjectName(name);
        v->setStyleSheet(u"color: navy;"_s);
        grid->addWidget(v, row, 1);
    };
    addDevice(0, u"Device SerialNo:"_s, device.serial, u"serialValue"_s);
    addDevice(1, u"Hardware Version:"_s, device.hardware, u"hardwareValue"_s);
    addDevice(2, u"Measurement Counter:"_s, device.counter, u"counterValue"_s);
    layout->addSpacing(8);
    layout->addLayout(grid);

    auto *link = new QLabel(u"<a href=\"%1\">%1</a>"_s.arg(makerWebAddress()), this);
    link->setObjectName(u"makerLink"_s);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(link, &QLabel::linkActivated, this, &AboutBox::linkClicked);
    layout->addWidget(link);

    auto *ok = new QPushButton(u"确  定"_s, this);
    ok->setObjectName(u"okButton"_s);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
}

} // namespace orlu
