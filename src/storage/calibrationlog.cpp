#include "storage/calibrationlog.h"

#include "storage/database.h"
#include "storage/schema.h"
#include "storage/sqlrow.h"

#include <QFileInfo>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString LogTable = u"KYCALLOG"_s;
const QString SettingTable = u"KYCALSET"_s;
const QString ReminderSetting = u"REMINDERDAYS"_s;

bool fail(QString *error, const QString &what) {
    if (error)
        *error = what;
    return false;
}

// The columns of an entry, in the table's order: all but the key.
QStringList entryColumns() {
    QStringList columns = columnNames(tableDef(SchemaKind::CalibrationLog, LogTable));
    columns.removeAll(u"MKEY"_s);
    return columns;
}

// The log as this version writes it, made or completed on first use.
bool openForWriting(Database &db, const QString &path, QString *error) {
    if (!QFileInfo::exists(path) &&
        !createDatabaseFile(path, SchemaKind::CalibrationLog, error, ExistingFile::Keep))
        return false;
    if (!db.open(path, Database::Access::Shared, error))
        return false;
    QSqlDatabase handle = db.handle();
    return upgradeCalibrationLog(handle, error);
}

} // namespace

CalibrationLog::CalibrationLog(QString path)
    : m_path(std::move(path)) {}

bool CalibrationLog::append(const CalibrationEntry &entry, QString *error) const {
    Database db;
    if (!openForWriting(db, m_path, error))
        return false;
    QSqlQuery q(db.handle());
    q.prepare(insertSql(LogTable, entryColumns()));
    for (const QVariant &v : {QVariant(entry.at), sqlrow::text(entry.mode), QVariant(entry.standardValue),
                              QVariant(entry.highValue), QVariant(entry.sensitivity),
                              QVariant(entry.succeeded), sqlrow::text(entry.cause)})
        q.addBindValue(v);
    return q.exec() || sqlrow::fail(q, error);
}

std::optional<CalibrationEntry> lastSuccessful(const QList<CalibrationEntry> &entries) {
    const auto last =
        std::find_if(entries.rbegin(), entries.rend(), [](const auto &e) { return e.succeeded; });
    if (last == entries.rend())
        return std::nullopt;
    return *last;
}

QList<CalibrationEntry> CalibrationLog::entries(QString *error) const {
    QList<CalibrationEntry> list;
    if (!QFileInfo::exists(m_path))
        return list;
    Database db;
    if (!db.open(m_path, Database::Access::ReadOnly, error) || !hasTable(db.handle(), LogTable))
        return list;
    // A log written before a column existed reads it as empty.
    QStringList columns = entryColumns();
    for (QString &c : columns) {
        if (!hasColumn(db.handle(), LogTable, c))
            c = u"NULL"_s;
    }
    QSqlQuery q(db.handle());
    if (!q.exec(u"SELECT %1 FROM %2 ORDER BY CALDATE, MKEY"_s.arg(columns.join(u", "_s), LogTable))) {
        sqlrow::fail(q, error);
        return list;
    }
    while (q.next()) {
        list.append({q.value(0).toDouble(), q.value(1).toString(), q.value(2).toInt(), q.value(3).toInt(),
                     q.value(4).toDouble(), q.value(5).toBool(), q.value(6).toString()});
    }
    return list;
}

int CalibrationLog::reminderDays(QString *error) const {
    if (!QFileInfo::exists(m_path))
        return DefaultReminderDays;
    Database db;
    if (!db.open(m_path, Database::Access::ReadOnly, error) || !hasTable(db.handle(), SettingTable))
        return DefaultReminderDays;
    QSqlQuery q(db.handle());
    q.prepare(u"SELECT SETVALUE FROM KYCALSET WHERE SETNAME = ?"_s);
    q.addBindValue(ReminderSetting);
    if (!q.exec()) {
        sqlrow::fail(q, error);
        return DefaultReminderDays;
    }
    return q.next() ? std::clamp(q.value(0).toInt(), 0, MaxReminderDays) : DefaultReminderDays;
}

bool CalibrationLog::setReminderDays(int days, QString *error) const {
    if (days < 0 || days > MaxReminderDays)
        return fail(error, u"校准提醒天数须在 0 到 %1 之间。"_s.arg(MaxReminderDays));
    Database db;
    if (!openForWriting(db, m_path, error))
        return false;
    QSqlDatabase handle = db.handle();
    Transaction tx(handle, Transaction::Writer);
    if (!tx.isActive())
        return fail(error, tx.error());
    QSqlQuery q(handle);
    q.prepare(u"UPDATE KYCALSET SET SETVALUE = ? WHERE SETNAME = ?"_s);
    q.addBindValue(days);
    q.addBindValue(ReminderSetting);
    if (!q.exec())
        return sqlrow::fail(q, error);
    if (q.numRowsAffected() == 0) {
        q.prepare(insertSql(SettingTable, columnNames(tableDef(SchemaKind::CalibrationLog, SettingTable))));
        q.addBindValue(ReminderSetting);
        q.addBindValue(days);
        if (!q.exec())
            return sqlrow::fail(q, error);
    }
    return sqlrow::commit(tx, handle, error);
}

} // namespace orlu
