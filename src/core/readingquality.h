#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// How sound the reading of one measured point was, as the measuring run
// assessed it (measure/pointquality.h) and as the register keeps it.
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

// The stored and exported word of a verdict ("steady", "drifting", ...), and
// back; empty for a word that is none.
QString verdictWord(QualityVerdict verdict);
std::optional<QualityVerdict> verdictFromWord(const QString &word);
// What the operator reads: "稳定", "漂移", "不稳", ...
QString verdictLabel(QualityVerdict verdict);
// The words of the flags set, in a fixed order.
QStringList flagWords(unsigned flags);

using MeasurementQuality = std::array<std::optional<PointQuality>, 24>;
// "测量质量: 22/24 稳定；可疑: 左肝经 (漂移)、右胆经 (不稳)", channels in order; without
// an unsteady point just the count. Empty when no point's quality is known.
QString qualitySummary(const MeasurementQuality &quality);
// Whether the channel's (1..24) known verdict is not steady: a doubtful reading.
bool isDoubtful(const MeasurementQuality &quality, int channel);
// The channels whose known verdict is not steady, in order.
QList<int> unsteadyChannels(const MeasurementQuality &quality);
} // namespace orlu
