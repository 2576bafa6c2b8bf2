#pragma once

#include "measure/calibrationscale.h"

#include <QtGlobal>

// What the measurement window shows of the probe current while a run waits for
// contact, measures a point, and when a point is done. Kept apart from the
// window so the figures can be checked without one.
namespace orlu {

// Logical size of the trace area: x in ms since contact, y downwards.
constexpr int TraceLogicalWidth = 2500;
constexpr int TraceLogicalHeight = 600;
constexpr int PointDurationMs = 2500;
constexpr int ValueBarMaximum = 4095;

struct LiveValues {
    double measured = 0;    // "经络测量值:"
    double compensated = 0; // "经络补偿值:"
    double display = 0;     // the "[%5.1f]" value display
    int valueBar = 0;       // 0..4095
    int pointProgress = 0;  // 0..2500 ms
};

// Threshold in reading units for a threshold in uA.
double thresholdUnits(double thresholdUa, double scale);

LiveValues waitingValues(int reading, double scale);
// While measuring, the shown value rises with the time since contact towards
// the live reading; f is the correction factor of the point's meridian.
LiveValues measuringValues(int reading, quint32 elapsedMs, double scale, double factor);
LiveValues pointEndValues(double value, double corrected);

// "[" + "%5.1f" + "]"
QString valueDisplayText(double ua);

// Logical y of a trace point for reading r against baseline b: the baseline
// sits at two thirds of the height, 100 logical units are 10 uA.
double traceY(int reading, double baseline, double scale);

} // namespace orlu
