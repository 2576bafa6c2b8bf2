#pragma once

#include "core/readingquality.h"

#include <QString>

#include <span>

// How sound the reading of one completed point is, judged from the passes of
// its measuring loop: the spread and the slope of the readings that were
// averaged into the value, the overshoot before the reading settled, and
// whether the probe was saturated, barely in contact or lifted on the way.
namespace orlu {

// The rules, in one place. They are first values, to be tuned with readings
// of real probes; the operator's explanation text quotes them from here.
namespace quality {
// A reading this high is the top of the probe's three hexadecimal digits:
// the true current may be higher.
constexpr double SaturatedReading = 4095;
// A mean under this many times the contact threshold is barely above the
// level that counts as contact at all.
constexpr double FloorFactor = 2.0;
// Fewer averaged readings than this say more about the loop than the skin.
constexpr int MinimumSamples = 10;
// Coefficient of variation of the averaged readings above which the probe
// was not held steady (percent).
constexpr double NoisyCvPercent = 8.0;
// Slope of the averaged readings, relative to their mean, above which the
// skin current had not yet settled or was still moving (percent per second).
constexpr double DriftingPercentPerSecond = 12.0;
// Readings from this tick of the point on are averaged into the value.
constexpr int FirstAveragedTick = 4;
} // namespace quality

// One pass of the measuring loop: milliseconds since contact, the reading in
// units, and the tick count at that pass before the tick was advanced.
struct QualitySample {
    double elapsedMs = 0;
    double reading = 0;
    int tick = 1;
};

// `thresholdUnits` is the contact threshold T in reading units; `attempts`
// counts the tries at the point, dropped ones included.
PointQuality assessPoint(std::span<const QualitySample> samples, double thresholdUnits, int attempts);

// The figures of a point whose value is `value` uA for the operator, one per line, under
// its verdict; the mean and the spread in uA.
QString qualityDescription(const PointQuality &quality, double value);
// The rules as the operator reads them, with the thresholds above.
QString qualityRulesText();

} // namespace orlu
