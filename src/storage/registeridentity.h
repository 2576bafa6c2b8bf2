#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QUuid>

#include <optional>

// The register's own settings in ORLUREG. Its identity is a random UUID given when the
// register is made (or first opened for writing by a program that knows it): it tells the
// subjects and measurements of this register from those of every other one wherever they
// are exchanged. Its time zone is that of the seat that made it: the zone of every
// measurement stored without one of its own.
namespace orlu {

// Adds the identity and the time zone where they are missing, inside the caller's
// transaction; the table must be there.
bool ensureRegisterSettings(QSqlDatabase db, QString *error = nullptr);
// Makes the register a new one, as when it was copied from a template: a new identity and
// this seat's zone, in one transaction. Nothing changes without the table.
bool renewRegisterSettings(QSqlDatabase db, QString *error = nullptr);
// Whether the table, the identity or the time zone is missing.
bool registerSettingsMissing(const QSqlDatabase &db);
// None in a register that predates it and was opened read-only since.
std::optional<QUuid> registerIdentity(const QSqlDatabase &db);
// The register's zone; the seat's zone in a register without one.
QString registerTimeZone(const QSqlDatabase &db);
// Sets the register's zone: an IANA name ("Asia/Shanghai") or an offset from UTC
// ("UTC+08:00"). Refused for a zone this system does not know, and in a register that has
// no settings of its own yet.
bool setRegisterTimeZone(QSqlDatabase db, const QString &zone, QString *error = nullptr);
// Makes `to` the same register as `from`, a copy of it: the settings of `from` replace
// those of `to`. Nothing changes when `from` has none.
bool copyRegisterSettings(const QSqlDatabase &from, QSqlDatabase to, QString *error = nullptr);

// The zone of this seat: its IANA name, or its offset from UTC ("UTC+08:00") when it has
// no name.
QString seatTimeZone();

} // namespace orlu
