#include "measure/ui/signaldisplay.h"

#include "widgets/ledlamp.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>

namespace orlu {

QColor colourOf(Shade shade) {
    switch (shade) {
    case Shade::Black:
        return {0, 0, 0};
    case Shade::DarkRed:
        return {139, 0, 0};
    case Shade::Red:
        return {255, 0, 0};
    case Shade::Maroon:
        return {128, 0, 0};
    case Shade::Yellow:
        return {255, 255, 0};
    case Shade::Olive:
        return {128, 128, 0};
    case Shade::LimeGreen:
        return {50, 205, 50};
    case Shade::Green:
        return {0, 128, 0};
    case Shade::Teal:
        return {0, 128, 128};
    case Shade::Aqua:
        return {0, 255, 255};
    case Shade::Blue:
        return {0, 0, 255};
    }
    return {};
}

void showLamp(LedLamp &lamp, const LampView &view) {
    lamp.setColor(colourOf(view.shade));
    lamp.setOn(view.on);
    if (lamp.isBlinking() != view.blinking)
        lamp.setBlinking(view.blinking ? BlinkMs : 0);
}

void showShadedText(QLabel &label, const ShadedText &text) {
    label.setText(text.text);
    const QColor colour = colourOf(text.shade);
    if (label.palette().color(QPalette::WindowText) != colour) {
        QPalette palette = label.palette();
        palette.setColor(QPalette::WindowText, colour);
        label.setPalette(palette);
    }
}

LedLamp *signalLamp(const QString &objectName, const Clock &clock, QWidget *parent) {
    auto *lamp = new LedLamp(parent);
    lamp->setObjectName(objectName);
    lamp->setClock(&clock);
    lamp->setFixedSize(18, 18);
    return lamp;
}

QLabel *figureBox(const QString &objectName, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setMinimumWidth(70);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

QLabel *shadedTextLabel(const QString &objectName, int larger, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + larger);
    label->setFont(font);
    return label;
}

void addSignalRow(QGridLayout &grid, int row, const QString &caption, LedLamp *lamp, QLabel *figure,
                  QWidget *bar) {
    grid.addWidget(new QLabel(caption, lamp->parentWidget()), row, 0);
    grid.addWidget(lamp, row, 1);
    grid.addWidget(figure, row, 2);
    grid.addWidget(bar, row, 3);
}

QHBoxLayout *centredLampRow(LedLamp *lamp, QLabel *text) {
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(lamp);
    row->addWidget(text);
    row->addStretch();
    return row;
}

} // namespace orlu
