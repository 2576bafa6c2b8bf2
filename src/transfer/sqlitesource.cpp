#include "transfer/sqlitesource.h"

#include "core/channels.h"
#include "storage/registercopy.h"
#include "storage/sqlcopy.h"
#include "storage/sqldialect.h"
#include "transfer/readingscheck.h"
#include "transfer/transfercolumns.h"
#include "storage/siderows.h"

#include <QSqlQuery>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString SourceSchema = u"src"_s;

enum class Affinity { Integer, Text, Blob, Real, Numeric };

// SQLite's own rules for the kind of value a declared column type holds.
Affinity affinityOf(const QString &declared) {
    const QString t = declared.toUpper();
    if (t.contains(u"INT"_s))
        return Affinity::Integer;
    if (t.contains(u"CHAR"_s) || t.contains(u"CLOB"_s) || t.contains(u"TEXT"_s))
        return Affinity::Text;
    if (t.isEmpty() || t.contains(u"BLOB"_s))
        return Affinity::Blob;
    if (t.contains(u"REAL"_s) || t.contains(u"FLOA"_s) || t.contains(u"DOUB"_s))
        return Affinity::Real;
    return Affinity::Numeric;
}

bool fits(ColumnDef::Type type, Affinity a) {
    switch (type) {
    case ColumnDef::Text:
    case ColumnDef::Memo:
        return a == Affinity::Text;
    case ColumnDef::Boolean:
    case ColumnDef::Integer:
    case ColumnDef::DateTime:
    case ColumnDef::Float:
        return a == Affinity::Integer || a == Affinity::Real || a == Affinity::Numeric;
    case ColumnDef::Blob:
        return a == Affinity::Blob;
    case ColumnDef::AutoKey:
        break;
    }
    return true;
}

bool setError(QString *error, const QString &text) {
    if (error)
        *error = text;
    return false;
}

} // namespace

std::unique_ptr<SqliteSource> SqliteSource::open(const QString &path, QString *error) {
    std::unique_ptr<SqliteSource> source(new SqliteSource);
    source->m_path = path;
    QString openError;
    if (!source->m_db.open(path, Database::Access::ReadOnly, &openError)) {
        setError(error, u"来源档案无法开启: "_s + openError);
        return nullptr;
    }
    if (!source->check(error))
        return nullptr;
    return source;
}

bool SqliteSource::check(QString *error) {
    QSqlQuery q(m_db.handle());
    q.exec(u"PRAGMA trusted_schema=OFF"_s);
    if (!q.exec(u"PRAGMA quick_check"_s) || !q.next() || q.value(0).toString() != u"ok"_s)
        return setError(error, u"来源档案已损坏 (完整性检查未通过) !!"_s);
    q.finish();
    // Our files hold tables and indexes only; a file with code of its own is not one of ours.
    if (!q.exec(u"SELECT count(*) FROM sqlite_schema WHERE type IN ('trigger', 'view')"_s) || !q.next())
        return setError(error, u"来源档案无法读取: "_s + sqlErrorText(q));
    if (q.value(0).toInt() > 0)
        return setError(error, u"来源档案含有触发器或视图，不是 O.R.L.U. 的数据档案 !!"_s);
    q.finish();
    // Only plain tables count: a view or a table without row ids in place of a register table is refused.
    if (!q.exec(u"SELECT name, sql FROM sqlite_schema WHERE type = 'table'"_s))
        return setError(error, u"来源档案无法读取: "_s + sqlErrorText(q));
    while (q.next()) {
        const QString sql = q.value(1).toString().toUpper();
        if (!sql.contains(u"WITHOUT ROWID"_s) && !sql.startsWith(u"CREATE VIRTUAL"_s))
            m_tables << q.value(0).toString();
    }
    for (const QString &table : RecordTables + CourseTables) {
        if (!m_tables.contains(table, Qt::CaseInsensitive))
            continue; // the shared check names the missing table
        QSqlQuery info(m_db.handle());
        info.prepare(u"SELECT name, type FROM pragma_table_info(?)"_s);
        info.addBindValue(table);
        if (!info.exec())
            return setError(error, u"来源档案无法读取: "_s + sqlErrorText(info));
        QStringList names;
        while (info.next()) {
            const QString name = info.value(0).toString();
            names << name;
            for (const ColumnDef &c : copiedColumns(table)) {
                if (name.compare(QLatin1StringView(c.name), Qt::CaseInsensitive) == 0 &&
                    !fits(c.type, affinityOf(info.value(1).toString())))
                    return setError(error, wrongColumnKindText(table, name));
            }
        }
        m_columns.insert(table, names);
    }
    return true;
}

qint64 SqliteSource::rowCount(const QString &table) const {
    return countRows(m_db.handle(), u"main"_s, table);
}

bool SqliteSource::connect(QSqlDatabase target, QString *error) {
    // A server cannot attach a file: its rows are then read here and sent over.
    if (SqlDialect::of(target).isServer())
        return true;
    QSqlQuery q(target);
    if (q.exec(u"PRAGMA trusted_schema"_s) && q.next())
        m_previousTrust = q.value(0).toString();
    q.exec(u"PRAGMA trusted_schema=OFF"_s);
    if (attachFile(target, m_path, SourceSchema, true, error))
        return true;
    disconnect(target);
    return false;
}

void SqliteSource::disconnect(QSqlDatabase target) {
    if (SqlDialect::of(target).isServer())
        return;
    detachFile(target, SourceSchema);
    if (!m_previousTrust.isEmpty())
        QSqlQuery(target).exec(u"PRAGMA trusted_schema=%1"_s.arg(m_previousTrust.toInt()));
}

bool SqliteSource::checkReadings(const QString &table, QString *error) {
    QStringList columns{u"CUSTNO"_s, u"KYDATE"_s};
    for (int c = 1; c <= ChannelCount; ++c)
        columns << u"KY%1"_s.arg(c);
    const ReadingsCheck readings(table, columns);
    if (!readings.checksAnything())
        return true;
    QSqlQuery q(m_db.handle());
    if (!q.exec(u"SELECT %1 FROM %2 WHERE %3 LIMIT 1"_s.arg(columns.join(u", "_s), table,
                                                            ReadingsCheck::sqliteBreakingRows())))
        return setError(error, u"来源档案无法读取: "_s + sqlErrorText(q));
    if (!q.next())
        return true;
    QVariantList row;
    for (qsizetype i = 0; i < columns.size(); ++i)
        row << q.value(int(i));
    m_refusedRows = true;
    return setError(error, readings.breach(row));
}

bool SqliteSource::appendTo(QSqlDatabase target, const QString &table, const QList<ColumnDef> &columns,
                            CopyProgress &progress, QString *error) {
    m_refusedRows = false;
    if (!checkReadings(table, error))
        return false;
    if (SqlDialect::of(target).isServer())
        return appendRowsAcross(m_db.handle(), target, table, columns, &progress, error);
    return appendRowsBySql(target, SourceSchema, u"main"_s, table, columns, progress, error);
}

bool SqliteSource::appendSideRowsTo(QSqlDatabase target, qint64 keysAbove, QString *error) {
    return carrySideRows(m_db.handle(), target, keysAbove, error);
}

} // namespace orlu
