#pragma once

#include "measure/signallamp.h"

#include <QColor>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QString;
class QWidget;

// How the calibration and locating windows show the lamps and coloured texts
// their procedures report.
namespace orlu {

class Clock;
class LedLamp;

QColor colourOf(Shade shade);
// Changes only what differs, so a lamp blinking already keeps its rhythm.
void showLamp(LedLamp &lamp, const LampView &view);
void showShadedText(QLabel &label, const ShadedText &text);

// A lamp timed by `clock`, and a sunken right-aligned box for a figure.
LedLamp *signalLamp(const QString &objectName, const Clock &clock, QWidget *parent);
QLabel *figureBox(const QString &objectName, QWidget *parent);
// A bold label for a coloured text, `larger` points above the usual size.
QLabel *shadedTextLabel(const QString &objectName, int larger, QWidget *parent);

// A row of a grid of signals: "caption:", its lamp, its figure and its bar.
void addSignalRow(QGridLayout &grid, int row, const QString &caption, LedLamp *lamp, QLabel *figure,
                  QWidget *bar);
// A lamp before its text, the two centred in the row.
QHBoxLayout *centredLampRow(LedLamp *lamp, QLabel *text);

} // namespace orlu
