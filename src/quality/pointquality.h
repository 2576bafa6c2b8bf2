#pragma once

#include "core/pointticks.h"
#include "core/readingquality.h"

#include <QString>

#include <optional>
#include <span>

// How sound the reading of one completed point is, judged from the passes of
// its measuring loop: the spread and the slope of the readings that were
// averaged into the value (those from FirstAveragedTick on), the overshoot
// before the reading settled, and whether the probe was saturated, barely in
// contact or lifted on the way.
namespace orlu {

// The rules, in one place; the operator's explanation text quotes them from here.
// They are first values, set when the assessment was introduced and to be tuned with
// readings of real probes; what each one stands on is said beside it.
//
// The verdicts apply in order, the first that holds wins: saturated, too few, near the
// floor, noisy, drifting, else steady. So a saturated point with too few readings is
// saturated, and a point near the floor is never judged noisy. The settling figure (the
// overshoot before the reading settled) is reported for the operator but decides no verdict:
// the first ticks are not averaged into the value.
namespace quality {
// The top of the probe's three hexadecimal digits: at this reading the true current may be higher.
constexpr double SaturatedReading = 4095;
// Twice the contact threshold T (2 x T): the run takes a mean just above T as contact at all,
// so a mean under twice it is barely above the level where contact comes and goes.
constexpr double FloorFactor = 2.0;
// Ten readings: the averaged tick lasts 600 ms, so fewer than ten means a pass of the loop
// took more than 60 ms; the mean then says more about the loop than about the skin.
constexpr int MinimumSamples = 10;
// 8 % coefficient of variation of the averaged readings: above it the probe was not held
// steady. A third of the scatter between repeat examinations (about 23 %): a point above it
// adds scatter of its own to that.
constexpr double NoisyCvPercent = 8.0;
// 12 % of the mean per second: over the 600 ms averaged that moves the reading by about 7 %,
// close to the noisy limit; the skin current had not settled or was still moving.
constexpr double DriftingPercentPerSecond = 12.0;
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
// The same for a point whose quality may be unknown: "读数质量: —" for a value typed,
// imported or generated, nothing for a point without a value.
QString qualityDescription(const std::optional<PointQuality> &quality, double value);
// The rules as the operator reads them, with the thresholds above.
QString qualityRulesText();

} // namespace orlu
