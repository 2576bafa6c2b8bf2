#pragma once

#include "measure/signallamp.h"

#include <QColor>

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

} // namespace orlu
