#pragma once

#include <array>
#include <optional>

// How sound the reading of one measured point was: the plain record the current
// measurement carries for each point and the register keeps. It stands here, beside the
// current measurement that holds it, so the register below the measuring can store it;
// the rules that judge a point, its words, texts and marks are in quality/.
namespace orlu {

enum class QualityVerdict { Steady, Saturated, TooFew, NearFloor, Noisy, Drifting };

enum QualityFlag : unsigned {
    FlagSaturated = 1u << 0,
    FlagNearFloor = 1u << 1,
    FlagTooFew = 1u << 2,
    FlagRetried = 1u << 3,
};

struct PointQuality {
    int samples = 0;
    double mean = 0;
    double sd = 0;
    double cvPercent = 0;
    double driftPercentPerSecond = 0;
    double settlingPercent = 0;
    int attempts = 1;
    unsigned flags = 0;
    QualityVerdict verdict = QualityVerdict::TooFew;
};

using MeasurementQuality = std::array<std::optional<PointQuality>, 24>;

} // namespace orlu
