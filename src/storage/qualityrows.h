#pragma once

#include "core/readingquality.h"

#include <QSqlDatabase>
#include <QString>

// The KYQUAL rows of one measurement: one per point whose quality is known, and
// one with the verdict "unmeasured" per point the stored measurement left out
// (reading 0), which marks an incomplete run as such. Readers take a verdict that is
// no known word as "quality unknown", so programs that predate the mark read the
// measurement as before. A register without the table (written before it existed)
// has none; copies of measurements carry the rows (storage/siderows.h).
namespace orlu {

// Inside the caller's transaction, with the measurement's KYDATA row.
bool writeQualityRows(QSqlDatabase db, qint64 measurementKey, const MeasurementQuality &quality,
                      QString *error = nullptr);
// The "unmeasured" rows of the points reading 0; none for a complete measurement.
bool writeUnmeasuredRows(QSqlDatabase db, qint64 measurementKey, const std::array<double, 24> &readings,
                         QString *error = nullptr);
bool deleteQualityRows(QSqlDatabase db, qint64 measurementKey, QString *error = nullptr);
// Unknown for every point without a row (or a row whose verdict is no known word).
MeasurementQuality readQualityRows(const QSqlDatabase &db, qint64 measurementKey);

} // namespace orlu
