#pragma once

#include "analysis/analysis.h"
#include "analysis/measurementscatter.h"
#include "quality/readingcaveats.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// One subject's measurements over time, each summed up by analyse(): body energy,
// the four ratios with their verdicts and the number of abnormal meridians. The
// trend chart, its table and its printed page read this.
namespace orlu {

// Spirit, musculoskeletal, metabolism, autonomic: the order of the ratios here.
inline constexpr int TrendRatioCount = 4;

struct TrendVisit {
    qint64 key = 0;        // MKEY of the measurement
    double measuredAt = 0; // day count
    bool highPotential = false;
    double bodyEnergy = 0.0;
    std::array<std::optional<double>, TrendRatioCount> ratios{}; // none when undefined
    // Body energy, then the four ratios; none when the ratio is undefined.
    std::array<std::optional<int>, 1 + TrendRatioCount> verdicts{};
    std::array<QString, 1 + TrendRatioCount> verdictTexts{};
    int abnormalMeridians = 0; // meridians with both channels graded away from 0
    // Unmeasured points and doubtful readings. An incomplete visit's body energy is the mean
    // of its measured points; it has no ratios, verdicts or abnormal meridians.
    ReadingCaveats caveats;
};

// The measurements of one subject in time order.
struct TrendSeries {
    QString subjectNumber;
    QString subjectName;
    bool male = true;
    QList<TrendVisit> visits;
    // The scatter of measuring a change of body energy must exceed to count.
    ScatterModel scatter;

    // The row of the measurement with this key, -1 when it is not in the series.
    int indexOfKey(qint64 key) const;
    // The body energy of a visit against the visit before it in the same potential mode
    // (later minus earlier), unjudged when either visit is incomplete or mostly doubtful;
    // none for the first visit of its mode.
    std::optional<Change> bodyEnergyChange(int visit) const;
    bool hasHighPotential() const;
};

// Analyses 24 plain readings as the analysis window does.
TrendVisit trendVisitOf(qint64 key, double measuredAt, bool highPotential,
                        const std::array<double, 24> &plainReadings, bool male,
                        const MeasurementQuality &quality = {});

// "47.20"; "47.20?" when most readings were doubtful; "12.50 (5/24 点)" for the mean of the
// measured points of an incomplete visit.
QString trendBodyEnergyText(const TrendVisit &visit);

// The state item of ratio i (0 spirit .. 3 autonomic).
StateItem trendRatioItem(int ratio);

// "精神状态比值", "左右肌骨系统", "新陈代谢功能", "自律神经平衡度".
QString ratioTitle(int ratio);

} // namespace orlu
