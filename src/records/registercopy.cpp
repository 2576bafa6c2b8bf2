#include "records/registercopy.h"

#include "records/database.h"
#include "records/schema.h"
#include "records/sqldialect.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const char *const Tables[] = {"KYCUST", "KYDATA", "KYPRO", "KYPRDT"};

// Rows are read in slices by key, so a large register never sits in memory whole.
constexpr int SliceRows = 2000;

// The value as the target's column takes it: SQLite keeps booleans as numbers, a server does not.
QVariant valueFor(const ColumnDef &column, const QVariant &v) {
    if (v.isNull())
        return v;
    switch (column.type) {
    case ColumnDef::Boolean:
        return v.toBool();
    case ColumnDef::DateTime:
    case ColumnDef::Float:
        return v.toDouble();
    case ColumnDef::Integer:
    case ColumnDef::AutoKey:
        return v.toLongLong();
    case ColumnDef::Blob:
        return v.toByteArray();
    case ColumnDef::Text:
    case ColumnDef::Memo:
        return v.toString();
    }
    return v;
}

bool fail(QString *error, const QString &what, const QSqlQuery &q) {
    if (error)
        *error = what + u": "_s + q.lastError().text();
    return false;
}

bool copyTable(const QSqlDatabase &from, QSqlDatabase &to, const TableDef &table, QString *error) {
    const QStringList columns = columnNames(table);
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << u"?"_s;
    const QString name = QLatin1StringView(table.name);
    QSqlQuery insert(to);
    if (!insert.prepare(
            u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(name, columns.join(u", "_s), marks.join(u", "_s))))
        return fail(error, name, insert);
    const qsizetype keyColumn = columns.indexOf(u"MKEY"_s);
    QSqlQuery read(from);
    read.setForwardOnly(true);
    if (!read.prepare(
            u"SELECT %1 FROM %2 WHERE MKEY > ? ORDER BY MKEY LIMIT %3"_s.arg(columns.join(u", "_s), name)
                .arg(SliceRows)))
        return fail(error, name, read);
    qint64 last = -1;
    while (true) {
        read.bindValue(0, last);
        if (!read.exec())
            return fail(error, name, read);
        int rows = 0;
        while (read.next()) {
            for (qsizetype c = 0; c < columns.size(); ++c)
                insert.bindValue(int(c), valueFor(table.columns.at(c), read.value(int(c))));
            if (!insert.exec())
                return fail(error, name, insert);
            last = read.value(int(keyColumn)).toLongLong();
            ++rows;
        }
        if (rows < SliceRows)
            return true;
    }
}

} // namespace

RegisterCounts countRegister(const QSqlDatabase &db) {
    RegisterCounts counts{-1, -1, -1, -1};
    QSqlQuery q(db);
    for (size_t i = 0; i < counts.size(); ++i) {
        if (q.exec(u"SELECT count(*) FROM "_s + QLatin1StringView(Tables[i])) && q.next())
            counts[i] = q.value(0).toLongLong();
    }
    return counts;
}

bool copyRegister(const QSqlDatabase &from, QSqlDatabase to, RegisterCounts *copied, QString *error) {
    const RegisterCounts source = countRegister(from);
    if (source[0] < 0 || source[1] < 0 || source[2] < 0 || source[3] < 0) {
        if (error)
            *error = u"来源数据库不是完整的登记表。"_s;
        return false;
    }
    Transaction tx(to, Transaction::Writer);
    if (!tx.isActive()) {
        if (error)
            *error = to.lastError().text();
        return false;
    }
    if (countRegister(to) != RegisterCounts{0, 0, 0, 0}) {
        if (error)
            *error = u"目标数据库不是空的登记表，没有复制任何数据。"_s;
        return false;
    }
    const bool server = SqlDialect::of(to).isServer();
    QSqlQuery q(to);
    for (const char *name : Tables) {
        if (!copyTable(from, to, tableDef(SchemaKind::Main, QLatin1StringView(name)), error))
            return false;
        // Keys were copied as they were: new rows continue after the highest.
        if (server &&
            !q.exec(u"SELECT setval(pg_get_serial_sequence('%1', 'mkey'), coalesce(max(MKEY), 0) + 1, "
                    "false) FROM %1"_s.arg(QString::fromLatin1(name).toLower())))
            return fail(error, QLatin1StringView(name), q);
    }
    const RegisterCounts target = countRegister(to);
    if (target != source) {
        if (error)
            *error = u"复制后的笔数与来源不符，没有复制任何数据。"_s;
        return false;
    }
    if (!tx.commit()) {
        if (error)
            *error = to.lastError().text();
        to.rollback();
        return false;
    }
    if (copied)
        *copied = target;
    return true;
}

} // namespace orlu
