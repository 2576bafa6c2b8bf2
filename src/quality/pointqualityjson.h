#pragma once

#include "quality/pointquality.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The assessment of a point in and out of JSON, for checking the rules from
// outside the program:
//   in:  {"threshold": T, "attempts": A, "samples": [[ms, reading, k], ...]}
//   out: {"samples": n, "mean": m, "sd": ..., "cvPercent": ..., "driftPercentPerSecond": ...,
//         "settlingPercent": ..., "flags": [...], "verdict": "..."}
namespace orlu {

struct QualityInput {
    double threshold = 0;
    int attempts = 1;
    std::vector<QualitySample> samples;
};

// Empty with the reason in `error` when the text is not such an object.
std::optional<QualityInput> parseQualityInput(const QByteArray &json, QString *error);
// One line, numbers with 17 significant digits; a figure that is no finite number is null.
QByteArray qualityJson(const PointQuality &quality);

} // namespace orlu
