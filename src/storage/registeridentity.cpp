#include "storage/registeridentity.h"

#include "storage/database.h"
#include "storage/schema.h"
#include "storage/sqlrow.h"

#include <QDateTime>
#include <QTimeZone>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString Identity = u"identity"_s;
const QString TimeZoneName = u"timezone"_s;
const QString Table = u"ORLUREG"_s;

std::optional<QString> setting(const QSqlDatabase &db, const QString &name) {
    QSqlQuery q(db);
    q.prepare(u"SELECT SETVALUE FROM ORLUREG WHERE SETNAME = ?"_s);
    q.addBindValue(name);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toString();
}

bool insertSetting(QSqlDatabase db, const QString &name, const QString &value, QString *error) {
    QSqlQuery q(db);
    q.prepare(insertSql(Table, {u"SETNAME"_s, u"SETVALUE"_s}));
    q.addBindValue(name);
    q.addBindValue(value);
    return q.exec() || sqlrow::fail(q, error);
}

} // namespace

QString seatTimeZone() {
    const QByteArray id = QTimeZone::systemTimeZoneId();
    if (!id.isEmpty() && QTimeZone(id).isValid())
        return QString::fromLatin1(id);
    return QString::fromLatin1(QTimeZone(QDateTime::currentDateTime().offsetFromUtc()).id());
}

bool registerSettingsMissing(const QSqlDatabase &db) {
    return !hasTable(db, Table) || !setting(db, Identity) || !setting(db, TimeZoneName);
}

bool ensureRegisterSettings(QSqlDatabase db, QString *error) {
    return (setting(db, Identity) ||
            insertSetting(db, Identity, QUuid::createUuid().toString(QUuid::WithoutBraces), error)) &&
           (setting(db, TimeZoneName) || insertSetting(db, TimeZoneName, seatTimeZone(), error));
}

bool renewRegisterSettings(QSqlDatabase db, QString *error) {
    if (!hasTable(db, Table))
        return true;
    Transaction tx(db);
    QSqlQuery q(db);
    q.prepare(u"DELETE FROM ORLUREG WHERE SETNAME IN (?, ?)"_s);
    q.addBindValue(Identity);
    q.addBindValue(TimeZoneName);
    if (!q.exec())
        return sqlrow::fail(q, error);
    return ensureRegisterSettings(db, error) && sqlrow::commit(tx, db, error);
}

std::optional<QUuid> registerIdentity(const QSqlDatabase &db) {
    const QUuid id(setting(db, Identity).value_or(QString()));
    return id.isNull() ? std::nullopt : std::optional(id);
}

QString registerTimeZone(const QSqlDatabase &db) {
    const QString zone = setting(db, TimeZoneName).value_or(QString());
    return zone.isEmpty() ? seatTimeZone() : zone;
}

bool setRegisterTimeZone(QSqlDatabase db, const QString &zone, QString *error) {
    QString refusal;
    if (!QTimeZone(zone.toLatin1()).isValid())
        refusal = u"unknown time zone \"%1\""_s.arg(zone);
    else if (!hasTable(db, Table))
        refusal = u"the register has no settings of its own yet; start the program on it once, or run "
                  u"\"orlu-cli db init\" for a server register"_s;
    if (!refusal.isEmpty()) {
        if (error)
            *error = refusal;
        return false;
    }
    Transaction tx(db);
    QSqlQuery q(db);
    q.prepare(u"DELETE FROM ORLUREG WHERE SETNAME = ?"_s);
    q.addBindValue(TimeZoneName);
    if (!q.exec())
        return sqlrow::fail(q, error);
    return insertSetting(db, TimeZoneName, zone, error) && sqlrow::commit(tx, db, error);
}

bool copyRegisterSettings(const QSqlDatabase &from, QSqlDatabase to, QString *error) {
    if (!hasTable(from, Table))
        return true;
    QSqlQuery read(from);
    if (!read.exec(u"SELECT SETNAME, SETVALUE FROM ORLUREG"_s))
        return sqlrow::fail(read, error);
    QSqlQuery remove(to);
    remove.prepare(u"DELETE FROM ORLUREG WHERE SETNAME = ?"_s);
    while (read.next()) {
        remove.bindValue(0, read.value(0));
        if (!remove.exec())
            return sqlrow::fail(remove, error);
        if (!insertSetting(to, read.value(0).toString(), read.value(1).toString(), error))
            return false;
    }
    return true;
}

} // namespace orlu
