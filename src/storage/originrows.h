#pragma once

#include "core/measurementorigin.h"

#include <QSqlDatabase>
#include <QString>

// The KYORIGIN row of a measurement: where it was taken. A register without the table
// (written before it existed) has none; readers then take the register's time zone.
// Copies of measurements carry the rows (storage/siderows.h).
namespace orlu {

// Inside the caller's transaction, with the measurement's KYDATA row; the zone is the
// seat's where the origin names none. Nothing is written without the table.
bool writeOriginRow(QSqlDatabase db, qint64 measurementKey, const MeasurementOrigin &origin,
                    QString *error = nullptr);
bool deleteOriginRow(QSqlDatabase db, qint64 measurementKey, QString *error = nullptr);
// Each probe serial number the register's measurements name, with the hardware text of its
// latest measurement (no time zone); the probe that measured last comes last.
QList<MeasurementOrigin> probesSeen(const QSqlDatabase &db);

} // namespace orlu
