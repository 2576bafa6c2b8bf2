#include "storage/calibrationlog.h"

#include "storage/database.h"
#include "storage/schema.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr double UnitsPerUaDivisor = 200.0; // S = C / 200

bool fail(QString *error, const QString &what) {
    if (error)
        *error = what;
    return false;
}

// The log and the seat's settings of it, made on first use.
bool openForWriting(Database &db, const QString &path, QString *error) {
    if (!(QFileInfo::exists(path) ? db.open(path, Database::Access::Shared, error) : db.create(path, error)))
        return false;
    QSqlQuery q(db.handle());
    for (const auto &[table, sql] :
         {std::pair{u"KYCALLOG"_s,
                    u"CREATE TABLE KYCALLOG (MKEY INTEGER PRIMARY KEY AUTOINCREMENT, CALDATE REAL NOT NULL, "
                    "CALMODE VARCHAR(20), STDVALUE INTEGER NOT NULL, HIGHVALUE INTEGER NOT NULL, "
                    "SENSITIVITY REAL NOT NULL, SUCCESS BOOLEAN NOT NULL)"_s},
          std::pair{
              u"KYCALSET"_s,
              u"CREATE TABLE KYCALSET (SETNAME VARCHAR(30) PRIMARY KEY, SETVALUE INTEGER NOT NULL)"_s}}) {
        if (!hasTable(db.handle(), table) && !q.exec(sql))
            return fail(error, q.lastError().text());
    }
    return true;
}

const QString ReminderSetting = u"REMINDERDAYS"_s;

} // namespace

CalibrationLog::CalibrationLog(QString path)
    : m_path(std::move(path)) {}

bool CalibrationLog::append(const CalibrationEntry &entry, QString *error) const {
    Database db;
    if (!openForWriting(db, m_path, error))
        return false;
    QSqlQuery q(db.handle());
    q.prepare(u"INSERT INTO KYCALLOG (CALDATE, CALMODE, STDVALUE, HIGHVALUE, SENSITIVITY, SUCCESS) "
              "VALUES (?, ?, ?, ?, ?, ?)"_s);
    for (const QVariant &v :
         {QVariant(entry.at), QVariant(entry.mode), QVariant(entry.standardValue), QVariant(entry.highValue),
          QVariant(entry.sensitivity), QVariant(entry.succeeded)})
        q.addBindValue(v);
    if (!q.exec())
        return fail(error, q.lastError().text());
    return true;
}

QList<CalibrationEntry> CalibrationLog::entries(QString *error) const {
    QList<CalibrationEntry> list;
    if (!QFileInfo::exists(m_path))
        return list;
    Database db;
    if (!db.open(m_path, Database::Access::ReadOnly, error))
        return list;
    if (!hasTable(db.handle(), u"KYCALLOG"_s))
        return list;
    QSqlQuery q(db.handle());
    if (!q.exec(u"SELECT CALDATE, CALMODE, STDVALUE, HIGHVALUE, SENSITIVITY, SUCCESS FROM KYCALLOG "
                "ORDER BY CALDATE, MKEY"_s)) {
        fail(error, q.lastError().text());
        return list;
    }
    while (q.next()) {
        list.append({q.value(0).toDouble(), q.value(1).toString(), q.value(2).toInt(), q.value(3).toInt(),
                     q.value(4).toDouble(), q.value(5).toBool()});
    }
    return list;
}

int CalibrationLog::reminderDays(QString *error) const {
    if (!QFileInfo::exists(m_path))
        return DefaultReminderDays;
    Database db;
    if (!db.open(m_path, Database::Access::ReadOnly, error) || !hasTable(db.handle(), u"KYCALSET"_s))
        return DefaultReminderDays;
    QSqlQuery q(db.handle());
    q.prepare(u"SELECT SETVALUE FROM KYCALSET WHERE SETNAME = ?"_s);
    q.addBindValue(ReminderSetting);
    if (!q.exec()) {
        fail(error, q.lastError().text());
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
    QSqlQuery q(db.handle());
    q.prepare(u"INSERT OR REPLACE INTO KYCALSET (SETNAME, SETVALUE) VALUES (?, ?)"_s);
    q.addBindValue(ReminderSetting);
    q.addBindValue(days);
    return q.exec() || fail(error, q.lastError().text());
}

CalibrationEntry calibrationEntry(double at, int standardValue, int highValue, bool succeeded) {
    return {at, u"标准+高电位"_s, standardValue, highValue, standardValue / UnitsPerUaDivisor, succeeded};
}

std::optional<CalibrationEntry> lastSuccessful(const QList<CalibrationEntry> &entries) {
    const auto last =
        std::find_if(entries.rbegin(), entries.rend(), [](const auto &e) { return e.succeeded; });
    if (last == entries.rend())
        return std::nullopt;
    return *last;
}

QString calibrationReminder(const QList<CalibrationEntry> &entries, double today, int days) {
    const std::optional<CalibrationEntry> last = lastSuccessful(entries);
    if (days == 0 || !last || std::floor(today) - std::floor(last->at) <= days)
        return {};
    return u"距上次成功校准已超过 %1 天，请先校准探测棒。"_s.arg(days);
}

} // namespace orlu
