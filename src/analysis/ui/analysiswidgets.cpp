#include "analysis/ui/analysiswidgets.h"

#include "core/displaycolumns.h"
#include "widgets/needlegauge.h"
#include "widgets/valuelabel.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace orlu {

QLabel *makeLabel(const QString &text, QWidget *parent, const QString &objectName) {
    auto *label = new QLabel(text, parent);
    if (!objectName.isEmpty())
        label->setObjectName(objectName);
    return label;
}

QLabel *makeValueLabel(const QString &objectName, QWidget *parent) {
    return makeValueLabel(objectName, parent,
                          {.frame = QFrame::StyledPanel | QFrame::Sunken, .selectable = true});
}

void setTextColour(QLabel *label, const QColor &colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

QPlainTextEdit *makeTextBox(const QString &objectName, QWidget *parent) {
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
}

void showText(QPlainTextEdit *box, const QString &text) {
    box->setPlainText(memoToBoxText(text));
}

NeedleGauge *makeIndicatorGauge(int maximum, const QString &objectName, QWidget *parent) {
    auto *gauge = new NeedleGauge(0, maximum, parent);
    gauge->setObjectName(objectName);
    // The value stands in a label beside the gauge; small dials have no room for it.
    gauge->setValueTextVisible(false);
    return gauge;
}

void showGauge(NeedleGauge *gauge, std::optional<int> value, const Rgb &colour) {
    gauge->setValue(value.value_or(0));
    gauge->setColour(toQColor(value ? colour : colours::Grey));
}

} // namespace orlu
