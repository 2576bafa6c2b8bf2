#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The rows beside the measurements: tables keyed by the MKEY of a KYDATA row, which a
// register older than them lacks. KYQUAL holds the quality of the readings
// (storage/qualityrows.h), KYORIGIN where each measurement was taken (storage/originrows.h).
// A copy of the measurements carries them along; a source without one of the tables
// carries none of its rows.
namespace orlu {

// The side tables, in the order they are carried.
const QStringList &sideTables();

// After every measurement of `from` was appended to `to` in key order, each getting a new
// key above `keysAbove`: copies the side rows of `from` onto those new keys, inside the
// caller's transaction on `to`. `to` gets the tables it lacks.
bool carrySideRows(const QSqlDatabase &from, QSqlDatabase to, qint64 keysAbove, QString *error = nullptr);
// Every side row, with the measurements a replacing import removes.
bool deleteAllSideRows(QSqlDatabase db, QString *error = nullptr);
// The highest measurement key of `db`, 0 without measurements.
qint64 highestMeasurementKey(const QSqlDatabase &db);

} // namespace orlu
