#pragma once

#include "core/readingquality.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// What must be said beside a measurement's figures before anyone trusts them:
// points it never measured (a run cut off or stopped, a cell left empty; their
// reading is 0) and readings the run judged doubtful (not steady).
namespace orlu {

// Where verdict words are stored or exported, the word of a point left out. It is no
// verdict of a reading: readers that do not know it take the point's quality as unknown.
QString unmeasuredWord();

// The channels reading 0, in order.
QList<int> unmeasuredChannels(const std::array<double, 24> &values);
// The mean of the measured values, leaving out the unmeasured ones; none without any.
std::optional<double> measuredMean(const std::array<double, 24> &values);

struct ReadingCaveats {
    int unmeasured = 0;
    int doubtful = 0; // measured points whose known verdict is not steady
    int judged = 0;   // measured points whose quality is known

    bool incomplete() const { return unmeasured > 0; }
    // More than half of the judged readings are doubtful: no change of the whole
    // measurement is then put down to the subject rather than to the measuring.
    bool mostlyDoubtful() const { return judged > 0 && 2 * doubtful > judged; }
    // "未完成: 19 点未测量；可疑读数 3/5 点"; empty when there is nothing to say.
    QString text() const;
};

ReadingCaveats caveatsOf(const std::array<double, 24> &values, const MeasurementQuality &quality);

// The quality summary for a one-line status: with more than three doubtful points only
// their number, the table's marks telling which; otherwise qualitySummary() itself.
QString statusQualitySummary(const MeasurementQuality &quality);

// A reading as a table shows it, with "?" after a doubtful one.
QString markedReading(const QString &text, bool doubtful);
// The line that explains the mark.
QString doubtfulMarkLegend();

// Why a change between two measurements is not judged against the scatter of measuring,
// empty when it is: for the body energy when either is incomplete or mostly doubtful,
// for one point when it is unmeasured or doubtful in either.
QString bodyEnergyChangeCaveat(const ReadingCaveats &first, const ReadingCaveats &second);
QString pointChangeCaveat(bool unmeasured, bool doubtful);

} // namespace orlu
