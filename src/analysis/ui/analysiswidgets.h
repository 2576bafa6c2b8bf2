#pragma once

#include "analysis/analysis.h"

#include <QColor>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QWidget;

// Small pieces the pages of the analysis and explanation windows share.
namespace orlu {

class NeedleGauge;

inline QColor toQColor(const Rgb &rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// "name" followed by the number: the object names of repeated controls.
inline QString indexedName(const char *name, int i) {
    return QString::fromLatin1(name) + QString::number(i);
}

// A label with an object name (empty: none) and text.
QLabel *makeLabel(const QString &text, QWidget *parent, const QString &objectName = {});
// A label that shows a value: framed and sunken like a read-only field.
QLabel *makeValueLabel(const QString &objectName, QWidget *parent);
void setTextColour(QLabel *label, const QColor &colour);
// A read-only multi-line box that wraps at words and still lets the text be selected.
QPlainTextEdit *makeTextBox(const QString &objectName, QWidget *parent);
// Puts a stored text into a box: CR LF and lone CR line breaks become plain line breaks.
void showText(QPlainTextEdit *box, const QString &text);
// A gauge of an analysis indicator: range 0..maximum, no scale numbers of its own beyond the ends.
NeedleGauge *makeIndicatorGauge(int maximum, const QString &objectName, QWidget *parent);
// Shows an indicator's gauge value and colour; an undefined value leaves the needle at 0, grey.
void showGauge(NeedleGauge *gauge, std::optional<int> value, const Rgb &colour);

} // namespace orlu
