#pragma once

#include <QString>
#include <QStringList>

namespace orlu {

struct CurrentMeasurement;
class MeasurementRepository;

// Keeps the treatment record the operator edited beside an analysis: in the current measurement
// always, and in the measurement's stored row while that row still holds `shown` (the record as
// the window showed it), so another seat's newer record is never overwritten. Returns what the
// operator is to be told as an error when the row could not take it; empty when nothing needs saying.
QString keepTreatmentRecord(CurrentMeasurement &measurement, const QStringList &lines,
                            const QStringList &shown, MeasurementRepository &measurements);

} // namespace orlu
