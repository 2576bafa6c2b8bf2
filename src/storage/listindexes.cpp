#include "storage/listindexes.h"

#include "storage/database.h"
#include "storage/namesortkeys.h"
#include "storage/sqldialect.h"

#include <QSqlError>
#include <QSqlQuery>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct ListIndex {
    const char *name;
    const char *table;
    QStringList columns; // text columns are folded
    QStringList plain;   // the columns that follow
};

const QList<ListIndex> &listIndexes() {
    static const QList<ListIndex> indexes{
        {"KYCS_CUSTNO", "KYCUST", {u"CUSTNO"_s}, {u"MKEY"_s}},
        {"KYCS_NAME", "KYCUST", {u"NAME"_s}, {u"MKEY"_s}},
        {"KYCS_SEX", "KYCUST", {}, {u"SEX"_s, u"MKEY"_s}},
        {"KYCS_DBIRTH", "KYCUST", {}, {u"DBIRTH"_s, u"MKEY"_s}},
        {"KYCS_TEL", "KYCUST", {u"TEL"_s}, {u"MKEY"_s}},
        {"KYCS_ADDR", "KYCUST", {u"ADDR"_s}, {u"MKEY"_s}},
        {"KYCS_EMAIL", "KYCUST", {u"EMAIL"_s}, {u"MKEY"_s}},
        {"KYCS_TEL2", "KYCUST", {u"TEL2"_s}, {u"MKEY"_s}},
        {"KYCS_TEL3", "KYCUST", {u"TEL3"_s}, {u"MKEY"_s}},
        {"KYDT_CUSTNO", "KYDATA", {u"CUSTNO"_s}, {u"KYDATE"_s, u"MKEY"_s}},
        // The course lists and their conditions are looked up by folded number too.
        {"KYPR_PRONO", "KYPRO", {u"ProNo"_s}, {u"MKEY"_s}},
        {"KYPD_PRONO", "KYPRDT", {u"ProNo"_s}, {u"MKEY"_s}},
    };
    return indexes;
}

// The indexes a register on a server gets: SQLite's files keep theirs as they always were.
bool ensureServerListIndexes(QSqlDatabase db, QString *error) {
    const SqlDialect dialect = SqlDialect::of(db);
    QSqlQuery q(db);
    // The seats' role may not create indexes: look first, as a file does.
    // Names are listed in the server's pinyin collation, surnames in their surname reading.
    // (KYCS_NAMEZH, the index of the order before surname readings, stays for older seats.)
    const QString byName =
        u"CREATE INDEX IF NOT EXISTS KYCS_NAMEPY ON KYCUST ("_s + nameOrderExpression(dialect) + u", MKEY)"_s;
    QStringList names{u"'kycs_namepy'"_s};
    for (const ListIndex &index : listIndexes())
        names << u"'"_s + QString::fromLatin1(index.name).toLower() + u"'"_s;
    if (q.exec(u"SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() AND indexname IN ("_s +
               names.join(u',') + u")"_s) &&
        q.next() && q.value(0).toInt() == names.size())
        return true;
    for (const ListIndex &index : listIndexes()) {
        QStringList cols;
        for (const QString &c : index.columns)
            cols << dialect.folded(c);
        cols << index.plain;
        // The folded column itself rides along, so counting the rows before a row (a list's
        // place of a subject) reads the index alone.
        const QString include =
            index.columns.isEmpty() ? QString() : u" INCLUDE ("_s + index.columns.join(u", "_s) + u')';
        const QString sql = u"CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)%4"_s.arg(
            QLatin1StringView(index.name), QLatin1StringView(index.table), cols.join(u", "_s), include);
        if (!q.exec(sql)) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
    }
    if (!q.exec(byName)) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    return true;
}

bool ensureFileListIndexes(QSqlDatabase db, QString *error) {
    static const char *const statements[] = {
        "CREATE INDEX IF NOT EXISTS KYCS_CUSTNO ON KYCUST (CUSTNO COLLATE NOCASE, MKEY)",
        "CREATE INDEX IF NOT EXISTS KYCS_NAME ON KYCUST (NAME COLLATE NOCASE, MKEY)",
        "CREATE INDEX IF NOT EXISTS KYCS_SEX ON KYCUST (SEX, MKEY)",
        "CREATE INDEX IF NOT EXISTS KYCS_DBIRTH ON KYCUST (DBIRTH, MKEY)",
        "CREATE INDEX IF NOT EXISTS KYCS_TEL ON KYCUST (TEL COLLATE NOCASE, MKEY)",
        "CREATE INDEX IF NOT EXISTS KYCS_ADDR ON KYCUST (ADDR COLLATE NOCASE, MKEY)",
        "CREATE INDEX IF NOT EXISTS KYCS_EMAIL ON KYCUST (EMAIL COLLATE NOCASE, MKEY)",
        "CREATE INDEX IF NOT EXISTS KYCS_TEL2 ON KYCUST (TEL2 COLLATE NOCASE, MKEY)",
        "CREATE INDEX IF NOT EXISTS KYCS_TEL3 ON KYCUST (TEL3 COLLATE NOCASE, MKEY)",
        "CREATE INDEX IF NOT EXISTS KYDT_CUSTNO ON KYDATA (CUSTNO COLLATE NOCASE, KYDATE, MKEY)",
    };
    QSqlQuery q(db);
    // Most opens find every index in place; only then is nothing written.
    if (q.exec(u"SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
               "name IN ('KYCS_CUSTNO','KYCS_NAME','KYCS_SEX','KYCS_DBIRTH','KYCS_TEL','KYCS_ADDR',"
               "'KYCS_EMAIL','KYCS_TEL2','KYCS_TEL3','KYDT_CUSTNO')"_s) &&
        q.next() && q.value(0).toInt() == int(std::size(statements)))
        return true;
    // One transaction: one sync to disk instead of one per index.
    Transaction tx(db);
    for (const char *sql : statements) {
        if (!q.exec(QString::fromLatin1(sql))) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
    }
    return !tx.isActive() || tx.commit();
}

} // namespace

bool ensureListIndexes(QSqlDatabase db, QString *error) {
    if (SqlDialect::of(db).isServer())
        return ensureServerListIndexes(db, error);
    // The name keys come first: a file this program may not write still gets them for the session.
    const bool keys = refreshNameSortKeys(db, KeyCheck::Quick, error);
    return ensureFileListIndexes(db, error) && keys;
}

} // namespace orlu
