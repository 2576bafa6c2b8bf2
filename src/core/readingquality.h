#pragma once

#include <QFlags>

#include <array>
#include <optional>

// How sound the reading of one measured point was: the plain record the current
// measurement carries for each point and the register keeps. It stands here, beside the
// current measurement that holds it, so the register below the measuring can store it;
// the rules that judge a point, its words, texts and marks are in quality/.
namespace orlu {

enum class QualityVerdict { Steady, Saturated, TooFew, NearFloor, Noisy, Drifting };

// What was seen on the way to the verdict; stored as the sum of the bits.
enum class QualityFlag : unsigned {
    Saturated = 1u << 0,
    NearFloor = 1u << 1,
    TooFew = 1u << 2,
    Retried = 1u << 3,
};
Q_DECLARE_FLAGS(QualityFlags, QualityFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(QualityFlags)

struct PointQuality {
    int samples = 0;
    double mean = 0;
    double sd = 0;
    double cvPercent = 0;
    double driftPercentPerSecond = 0;
    double settlingPercent = 0;
    int attempts = 1;
    QualityFlags flags = {};
    QualityVerdict verdict = QualityVerdict::TooFew;
};

using MeasurementQuality = std::array<std::optional<PointQuality>, 24>;

} // namespace orlu
