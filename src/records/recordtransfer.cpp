#include "records/recordtransfer.h"

#include "core/channels.h"
#include "core/displaycolumns.h"
#include "quality/readingcaveats.h"

namespace orlu {

MeasurementRecord measurementRowOf(const CurrentMeasurement &current, const QString &subjectNumber) {
    MeasurementRecord row;
    row.subjectNumber = subjectNumber;
    row.measuredAt = current.measuredAt;
    row.highPotential = current.highPotential;
    row.values = current.values;
    row.memo = joinMemoLines(current.memo);
    row.quality = current.quality;
    row.origin = current.origin;
    return row;
}

qint64 storeCurrentMeasurement(MeasurementRepository &repository, CurrentMeasurement &current,
                               const Subject &subject, QString *error) {
    const qint64 key = repository.append(measurementRowOf(current, subject.number), error);
    if (key == 0)
        return 0;
    current.subject = subject;
    current.recordKey = key;
    current.readingsUnsaved = false;
    return key;
}

void loadIntoCurrent(CurrentMeasurement &current, const Subject &subject, const MeasurementRecord &row) {
    current.subject = subject;
    current.measuredAt = row.measuredAt;
    current.highPotential = row.highPotential;
    current.memo = splitMemoLines(row.memo);
    current.setAllValues(row.values);
    current.quality = row.quality;
    current.origin = row.origin;
    current.recordKey = row.key;
    current.readingsUnsaved = false;
    ++current.measurementsBegun;
    ++current.readingsTaken;
    current.pointsSinceCounterUpdate = 0;
}

ComparisonRecord comparisonRecordOf(const Subject &subject, const MeasurementRecord &row) {
    ComparisonRecord rec;
    rec.subjectNumber = subject.number;
    rec.subjectName = subject.name;
    rec.measuredAt = row.measuredAt;
    rec.highPotential = row.highPotential;
    for (int c = 1; c <= ChannelCount; ++c)
        rec.corrected[size_t(c - 1)] = correctedValue(c, row.values[size_t(c - 1)]);
    rec.average = measuredMean(row.values).value_or(0.0);
    rec.quality = row.quality;
    rec.loaded = true;
    return rec;
}

bool deleteMeasurement(MeasurementRepository &repository, CurrentMeasurement &current, qint64 key,
                       QString *error, const MeasurementRecord *shown) {
    if (!repository.remove(key, error, shown))
        return false;
    if (current.recordKey == key)
        current.recordKey = 0;
    return true;
}

} // namespace orlu
