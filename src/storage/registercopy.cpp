#include "storage/registercopy.h"

#include "storage/database.h"
#include "storage/databasefiles.h"
#include "storage/rowinserter.h"
#include "storage/registeridentity.h"
#include "storage/schema.h"
#include "storage/siderows.h"
#include "storage/sqldialect.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const char *const Tables[] = {"KYCUST", "KYDATA", "KYPRO", "KYPRDT"};

// Rows are read in slices by key, so a large register never sits in memory whole.
constexpr int SliceRows = 2000;

// The value as the target's column takes it: SQLite keeps booleans as numbers, a server does
// not. As a copy within a file does, a missing number or flag counts as 0 (its columns take
// no NULL) and a text where a number belongs as 0.
QVariant valueFor(const ColumnDef &column, const QVariant &v) {
    switch (column.type) {
    case ColumnDef::Boolean:
        return v.isNull() ? false : v.toBool();
    case ColumnDef::DateTime:
    case ColumnDef::Float:
        return v.isNull() ? 0.0 : v.toDouble();
    case ColumnDef::Integer:
        return v.isNull() ? qint64(0) : v.toLongLong();
    case ColumnDef::AutoKey:
        return v.isNull() ? v : QVariant(v.toLongLong());
    case ColumnDef::Blob:
        return v.isNull() ? v : QVariant(v.toByteArray());
    case ColumnDef::Text:
    case ColumnDef::Memo:
        return v.isNull() ? v : QVariant(v.toString());
    }
    return v;
}

// The bookmark between slices: the file's own row order, or the server's keys. The
// quality rows have no key of their own; measurement and channel make one.
QString sliceKey(const QSqlDatabase &from, const QString &table) {
    if (!SqlDialect::of(from).isServer())
        return u"rowid"_s;
    return table.compare(u"KYQUAL"_s, Qt::CaseInsensitive) == 0 ? u"(CAST(MKEY AS BIGINT) * 32 + CHANNEL)"_s
                                                                : u"MKEY"_s;
}

qint64 countRows(const QSqlDatabase &db, const QString &table) {
    QSqlQuery q(db);
    return q.exec(u"SELECT count(*) FROM "_s + table) && q.next() ? q.value(0).toLongLong() : -1;
}

bool fail(QString *error, const QString &what, const QSqlQuery &q) {
    if (error)
        *error = what + u": "_s + q.lastError().text();
    return false;
}

} // namespace

ReadSnapshot::ReadSnapshot(QSqlDatabase db)
    : m_db(std::move(db)) {
    if (SqlDialect::of(m_db).isServer() && m_db.transaction()) {
        m_active = true;
        QSqlQuery(m_db).exec(u"SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"_s);
    }
}

ReadSnapshot::~ReadSnapshot() {
    if (m_active)
        m_db.rollback();
}

bool appendRowsAcross(const QSqlDatabase &from, QSqlDatabase to, const QString &table,
                      const QList<ColumnDef> &columns, CopyProgress *progress, QString *error) {
    QStringList names;
    for (const ColumnDef &c : columns)
        names << QString::fromLatin1(c.name);
    RowInserter insert(to, table, names);
    if (!insert.error().isEmpty()) {
        if (error)
            *error = insert.error();
        return false;
    }
    const QString key = sliceKey(from, table);
    QSqlQuery read(from);
    read.setForwardOnly(true);
    // The bookmark is 64 bits wide: a server would take it as the type of an INTEGER key
    // (32 bits) and refuse the first one.
    if (!read.prepare(u"SELECT %1, %2 FROM %3 WHERE %2 > CAST(? AS BIGINT) ORDER BY %2 LIMIT %4"_s
                          .arg(names.join(u", "_s), key, table)
                          .arg(SliceRows)))
        return fail(error, table, read);
    const int keyColumn = int(columns.size());
    qint64 last = std::numeric_limits<qint64>::min();
    while (true) {
        read.bindValue(0, last);
        if (!read.exec())
            return fail(error, table, read);
        int rows = 0;
        QVariantList values(columns.size());
        while (read.next()) {
            for (qsizetype c = 0; c < columns.size(); ++c)
                values[c] = valueFor(columns.at(c), read.value(int(c)));
            if (!insert.insert(values)) {
                if (error)
                    *error = insert.error();
                return false;
            }
            last = read.value(keyColumn).toLongLong();
            ++rows;
        }
        if (progress)
            progress->advance(rows);
        if (rows < SliceRows)
            return true;
    }
}

bool copyRegisterToNewFile(const QSqlDatabase &from, const QString &path, QString *error) {
    bool ok = createDatabaseFile(path, SchemaKind::Main, error);
    if (ok) {
        Database copy;
        ok = copy.open(path, Database::Access::Shared, error) &&
             copyRegister(from, copy.handle(), nullptr, error);
    }
    if (!ok)
        deleteDatabaseFile(path);
    return ok;
}

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
    const ReadSnapshot snapshot(from);
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
        const TableDef &table = tableDef(SchemaKind::Main, QLatin1StringView(name));
        if (!appendRowsAcross(from, to, QLatin1StringView(name), table.columns, nullptr, error))
            return false;
        // Keys were copied as they were: new rows continue after the highest.
        if (server &&
            !q.exec(u"SELECT setval(pg_get_serial_sequence('%1', 'mkey'), coalesce(max(MKEY), 0) + 1, "
                    "false) FROM %1"_s.arg(QString::fromLatin1(name).toLower())))
            return fail(error, QLatin1StringView(name), q);
    }
    // The rows beside the measurements, which a register older than their tables lacks, and
    // the register's identity: the copy is the same register.
    for (const QString &side : sideTables()) {
        const auto rowsIn = [&side](const QSqlDatabase &db) {
            return hasTable(db, side) ? countRows(db, side) : 0;
        };
        const qint64 sourceRows = rowsIn(from);
        if (sourceRows > 0 &&
            !appendRowsAcross(from, to, side, tableDef(SchemaKind::Main, side).columns, nullptr, error))
            return false;
        if (rowsIn(to) != sourceRows) {
            if (error)
                *error = u"复制后的笔数与来源不符，没有复制任何数据。"_s;
            return false;
        }
    }
    if (!copyRegisterSettings(from, to, error))
        return false;
    if (countRegister(to) != source) {
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
        *copied = source;
    return true;
}

} // namespace orlu
