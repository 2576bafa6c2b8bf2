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
    // What the scatter figure means and where it comes from, in the practitioner's words.
    QString explanation() const;
};

// The within-subject CVs of the pairs (root mean square over pairs, and over
// channels for the points), once there are at least MinimumPairs of them.
ScatterModel scatterModelOf(const QList<RepeatPair> &pairs);

double mdc95(double cv, double a, double b);

struct Change {
    double earlier = 0;
    double later = 0;
    double difference = 0; // later minus earlier
    double mdc = 0;
    bool withinScatter = false; // |difference| < mdc
    // Why the change is not judged against the scatter (readings that cannot bear it);
    // empty when it is.
    QString caveat;
    bool beyondScatter() const { return caveat.isEmpty() && !withinScatter; }
};
Change changeBetween(double earlier, double later, double cv);
// "在测量误差范围内" or "超出测量误差"; the caveat instead where the change is not judged.
QString changeText(const Change &change);
// "+6.47": the difference of the two values as they are shown with `decimals`, so the
// figure is what the reader gets by subtracting them.
QString changeFigure(const Change &change, int decimals);
// "+2.79 在测量误差范围内 (MDC95 12.3)": the change, its verdict and the scatter.
QString changeDescription(const Change &change, int decimals);

// Channel by channel (corrected values) and for the body energy (the mean of the measured
// ones, as the analysis shows it).
struct MeasurementChanges {
    std::array<Change, 24> channels{};
    Change bodyEnergy;
};
MeasurementChanges changesBetween(const std::array<double, 24> &earlier, const std::array<double, 24> &later,
                                  const ScatterModel &model);

// Two measurements in the order they were taken: a change is always the later one
// minus the earlier one, whichever way round they were given (the given order when
// both were taken at the same moment).
struct DatedReadings {
    double measuredAt = 0;              // day count
    std::array<double, 24> corrected{}; // corrected values
};
struct ChangeOverTime {
    bool firstIsLater = false;
    double earlierBodyEnergy = 0;
    double laterBodyEnergy = 0;
    MeasurementChanges changes;
};
ChangeOverTime changeOverTime(const DatedReadings &first, const DatedReadings &second,
                              const ScatterModel &model);

} // namespace orlu
