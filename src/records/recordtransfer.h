#pragma once

#include "core/currentmeasurement.h"
#include "records/comparisonrecord.h"
#include "records/measurementrepository.h"
#include "records/recordtypes.h"

// Moving the current measurement into the register and back out of it.
namespace orlu {

// The KYDATA row of the current measurement under a subject number: the plain
// readings (never the corrected values), date, potential and memo.
MeasurementRecord measurementRowOf(const CurrentMeasurement &current, const QString &subjectNumber);

// Appends the current measurement under `subject`. Only when the row is posted does the
// current measurement take the subject and the new row's MKEY as record key; on failure
// it is left exactly as it was. Returns the new MKEY, 0 on failure.
qint64 storeCurrentMeasurement(MeasurementRepository &repository, CurrentMeasurement &current,
                               const Subject &subject, QString *error = nullptr);

// Makes a stored measurement the current one: subject, values with their corrected
// values, date, potential, memo and record key; the analysis opens on chart 1, page 0
// and no points count as measured since the last usage update.
void loadIntoCurrent(CurrentMeasurement &current, const Subject &subject, const MeasurementRecord &row);

// The comparison record of a stored measurement: corrected values, the mean of the
// measured plain readings and the quality of each.
ComparisonRecord comparisonRecordOf(const Subject &subject, const MeasurementRecord &row);

// Deletes a stored measurement; when it is the current measurement's row, the current
// measurement stays in memory but no longer names a row. With `shown`, only while the
// row is still as it was shown.
bool deleteMeasurement(MeasurementRepository &repository, CurrentMeasurement &current, qint64 key,
                       QString *error = nullptr, const MeasurementRecord *shown = nullptr);

} // namespace orlu
