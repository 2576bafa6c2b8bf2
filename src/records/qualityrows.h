#pragma once

#include "core/readingquality.h"

#include <QSqlDatabase>
#include <QString>

// The KYQUAL rows of one measurement: one per point whose quality is known.
// A register without the table (written before it existed) has none.
namespace orlu {

// Inside the caller's transaction, with the measurement's KYDATA row.
bool writeQualityRows(QSqlDatabase db, qint64 measurementKey, const MeasurementQuality &quality,
                      QString *error = nullptr);
bool deleteQualityRows(QSqlDatabase db, qint64 measurementKey, QString *error = nullptr);
// Unknown for every point without a row (or a row whose verdict is no known word).
MeasurementQuality readQualityRows(const QSqlDatabase &db, qint64 measurementKey);

} // namespace orlu
