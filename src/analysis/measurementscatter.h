#pragma once

#include <QList>
#include <QString>

#include <array>

// Whether a difference between two measurements is more than the scatter of
// measuring itself: the minimal detectable change MDC95 = 1.96 x sqrt(2) x CV x
// (mean of the two values). The CV comes from the practice's own repeat
// measurements once there are enough of them, else from published figures.
namespace orlu {

namespace scatter {
// Test-retest coefficient of variation of one source-point reading in the
// published studies, and of the body energy (a mean of 24 readings).
constexpr double DefaultPointCv = 0.23;
constexpr double DefaultBodyEnergyCv = 0.12;
// Repeat pairs needed before the practice's own figures replace those.
constexpr int MinimumPairs = 10;
// Two measurements of one subject in one potential mode this close make a pair.
constexpr double PairWindowMinutes = 30;
} // namespace scatter

// Two measurements of one subject in one potential mode, taken at most 30
// minutes apart: their 24 readings, the earlier first.
using RepeatPair = std::array<std::array<double, 24>, 2>;

struct ScatterModel {
    double pointCv = scatter::DefaultPointCv;
    double bodyEnergyCv = scatter::DefaultBodyEnergyCv;
    int practicePairs = 0; // 0: the published figures
    // "文献值" or "本机 N 对重复测量".
    QString source() const;
};

// The within-subject CVs of the pairs (root mean square over pairs, and over
// channels for the points), once there are at least MinimumPairs of them.
ScatterModel scatterModelOf(const QList<RepeatPair> &pairs);

double mdc95(double cv, double a, double b);

struct Change {
    double difference = 0; // second minus first
    double mdc = 0;
    bool withinScatter = false; // |difference| < mdc
};
Change changeBetween(double first, double second, double cv);
// "在测量误差范围内" for a change inside the scatter, else empty.
QString changeText(const Change &change);

// Channel by channel (corrected values) and for the body energy (the mean of the measured ones).
struct MeasurementChanges {
    std::array<Change, 24> channels{};
    Change bodyEnergy;
};
MeasurementChanges changesBetween(const std::array<double, 24> &first, const std::array<double, 24> &second,
                                  const ScatterModel &model);

} // namespace orlu
