#include "trend/trendloader.h"

#include "records/measurementcursor.h"
#include "records/recordstore.h"

namespace orlu {

std::optional<TrendSeries> loadTrendSeries(const RecordStore &records, const QString &subjectNumber,
                                           QString *error) {
    TrendSeries series;
    series.subjectNumber = subjectNumber;
    if (const auto subject = records.subjects().findByNumber(subjectNumber)) {
        series.subjectNumber = subject->subject.number;
        series.subjectName = subject->subject.name;
        series.male = subject->subject.male;
    }
    MeasurementFilter filter;
    filter.subjectNumber = subjectNumber;
    const std::unique_ptr<MeasurementCursor> reading = records.measurementCursor(filter);
    MeasurementCursor &cursor = *reading;
    if (!cursor.start(error))
        return std::nullopt;
    SubjectMeasurement row;
    while (cursor.next(row)) {
        const MeasurementRecord &m = row.measurement;
        series.visits.append(
            trendVisitOf(m.key, m.measuredAt, m.highPotential, m.values, row.subject.male, m.quality));
    }
    if (const QString readError = cursor.error(); !readError.isEmpty()) {
        if (error)
            *error = readError;
        return std::nullopt;
    }
    series.scatter = scatterModelOf(records.measurements().repeatPairs(scatter::PairWindowMinutes));
    return series;
}

} // namespace orlu
