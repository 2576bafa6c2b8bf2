#pragma once

#include "core/readingquality.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the verdict of a reading is called where it is stored, exported and shown, how a
// table marks it, and what the verdicts of a measurement say together.
namespace orlu {

// The stored and exported word of a verdict ("steady", "drifting", ...), and
// back; empty for a word that is none.
QString verdictWord(QualityVerdict verdict);
std::optional<QualityVerdict> verdictFromWord(const QString &word);
// What the operator reads: "稳定", "漂移", "不稳", ...
QString verdictLabel(QualityVerdict verdict);
// The words of the flags set, in a fixed order.
QStringList flagWords(QualityFlags flags);

// How a table marks the cell of a reading by its verdict; the windows give each a colour.
enum class VerdictMark {
    None,    // steady: no mark
    Moved,   // noisy or drifting: the reading moved while it was averaged
    Unsound, // saturated, too few readings or near the floor: it could not be judged or was cut off
};
VerdictMark verdictMark(QualityVerdict verdict);

// "测量质量: 22/24 稳定；可疑: 左肝经 (漂移)、右胆经 (不稳)", channels in order; without
// an unsteady point just the count. Empty when no point's quality is known.
QString qualitySummary(const MeasurementQuality &quality);
// Whether the channel's (1..24) known verdict is not steady: a doubtful reading.
bool isDoubtful(const MeasurementQuality &quality, int channel);
// The channels whose known verdict is not steady, in order.
QList<int> unsteadyChannels(const MeasurementQuality &quality);

} // namespace orlu
