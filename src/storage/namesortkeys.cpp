#include "storage/namesortkeys.h"

#include "storage/database.h"
#include "storage/sqldialect.h"
#include "storage/sqlrow.h"

#include <QSqlError>
#include <QSqlQuery>

#include <unicode/ucol.h>
#include <unicode/uversion.h>

#include <memory>
#include <vector>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct CollatorCloser {
    void operator()(UCollator *c) const { ucol_close(c); }
};

// The Chinese (China) collation, the one QCollator uses for that locale. Opened once;
// only the user interface thread sorts.
UCollator *collator() {
    static const std::unique_ptr<UCollator, CollatorCloser> c = [] {
        UErrorCode status = U_ZERO_ERROR;
        return std::unique_ptr<UCollator, CollatorCloser>(ucol_open("zh_CN", &status));
    }();
    return c.get();
}

bool createSideTables(QSqlQuery &q, QString *error) {
    for (const QString &sql :
         {u"CREATE TABLE IF NOT EXISTS KYCUST_SORT (MKEY INTEGER PRIMARY KEY, NAME TEXT, SORTKEY BLOB)"_s,
          u"CREATE INDEX IF NOT EXISTS KYCS_SORTKEY ON KYCUST_SORT (SORTKEY, MKEY)"_s,
          u"CREATE TABLE IF NOT EXISTS KYCUST_SORTVER (VERSION TEXT)"_s}) {
        if (!q.exec(sql))
            return sqlrow::fail(q, error);
    }
    return true;
}

QString storedVersion(QSqlDatabase db) {
    QSqlQuery q(db);
    return q.exec(u"SELECT VERSION FROM KYCUST_SORTVER"_s) && q.next() ? q.value(0).toString() : QString();
}

bool storeVersion(QSqlQuery &q, QString *error) {
    if (!q.exec(u"DELETE FROM KYCUST_SORT"_s) || !q.exec(u"DELETE FROM KYCUST_SORTVER"_s))
        return sqlrow::fail(q, error);
    q.prepare(u"INSERT INTO KYCUST_SORTVER (VERSION) VALUES (?)"_s);
    q.addBindValue(nameCollationVersion());
    return q.exec() || sqlrow::fail(q, error);
}

struct NamedRow {
    qint64 key;
    QString name;
};

// Subjects whose key is missing or was made from another name.
std::optional<std::vector<NamedRow>> rowsLackingKeys(QSqlDatabase db, QString *error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(u"SELECT c.MKEY, c.NAME FROM KYCUST c LEFT JOIN KYCUST_SORT s ON s.MKEY = c.MKEY "
                "WHERE s.MKEY IS NULL OR s.NAME IS NOT c.NAME"_s)) {
        sqlrow::fail(q, error);
        return std::nullopt;
    }
    std::vector<NamedRow> rows;
    while (q.next())
        rows.push_back({q.value(0).toLongLong(), q.value(1).toString()});
    return rows;
}

bool hasOrphanKeys(QSqlDatabase db) {
    QSqlQuery q(db);
    return q.exec(u"SELECT (SELECT count(*) FROM KYCUST_SORT) - (SELECT count(*) FROM KYCUST)"_s) &&
           q.next() && q.value(0).toLongLong() > 0;
}

// The newest subject has its key: subjects are only ever added with a higher MKEY, so
// this reads two keys at the ends of two tables and still notices any addition.
bool newestSubjectHasKey(QSqlDatabase db) {
    QSqlQuery q(db);
    return q.exec(u"SELECT (SELECT max(MKEY) FROM KYCUST) IS (SELECT max(MKEY) FROM KYCUST_SORT)"_s) &&
           q.next() && q.value(0).toBool();
}

// Surname characters whose surname reading is not the reading the collation gives them,
// each with a character of the surname reading that sorts as such: 曾 as 增 (zēng, not céng).
struct SurnameReading {
    char16_t surname;
    char16_t reading;
};
constexpr SurnameReading SurnameReadings[] = {
    {u'曾', u'增'}, {u'单', u'善'}, {u'解', u'谢'}, {u'仇', u'求'}, {u'区', u'欧'}, {u'朴', u'瓢'},
    {u'查', u'渣'}, {u'盖', u'葛'}, {u'覃', u'秦'}, {u'尉', u'玉'}, {u'乐', u'月'}, {u'召', u'邵'},
    {u'缪', u'妙'}, {u'翟', u'宅'}, {u'秘', u'必'}, {u'褚', u'楚'}, {u'种', u'虫'}, {u'员', u'运'},
    {u'繁', u'婆'}, {u'折', u'舌'}, {u'洗', u'显'}, {u'句', u'勾'},
};

// What a name is collated as: its surname's first character in its surname reading, then the
// name itself, so names of one surname stay together and in their own order.
QString collatedName(const QString &name) {
    if (name.isEmpty())
        return name;
    const QChar first = name.front();
    for (const SurnameReading &r : SurnameReadings) {
        if (first == QChar(r.surname))
            return QChar(r.reading) + name;
    }
    const qsizetype length = first.isHighSurrogate() && name.size() > 1 ? 2 : 1;
    return name.left(length) + name;
}

// The same as an expression of the server: the first character's surname reading by
// translate(), then the name.
QString serverCollatedName() {
    QString from;
    QString to;
    for (const SurnameReading &r : SurnameReadings) {
        from += QChar(r.surname);
        to += QChar(r.reading);
    }
    return u"(translate(left(coalesce(NAME, ''), 1), '%1', '%2') || coalesce(NAME, ''))"_s.arg(from, to);
}

} // namespace

QByteArray nameSortKey(const QString &plainName) {
    UCollator *c = collator();
    if (!c)
        return plainName.toUtf8();
    const QString name = collatedName(plainName);
    const auto *text = reinterpret_cast<const UChar *>(name.utf16());
    const auto length = static_cast<int32_t>(name.size());
    QByteArray key(64, Qt::Uninitialized);
    int32_t needed = ucol_getSortKey(c, text, length, reinterpret_cast<uint8_t *>(key.data()),
                                     static_cast<int32_t>(key.size()));
    if (needed > key.size()) {
        key.resize(needed);
        needed = ucol_getSortKey(c, text, length, reinterpret_cast<uint8_t *>(key.data()), needed);
    }
    // The key ends in a zero byte; without it keys compare as blobs do.
    key.resize(std::max(0, needed - 1));
    return key;
}

QString nameCollationVersion() {
    UVersionInfo version{};
    if (UCollator *c = collator())
        ucol_getVersion(c, version);
    char text[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(version, text);
    // The surname readings are part of the order: a change of their table makes the keys again.
    return u"zh_CN "_s + QString::fromLatin1(text) + u" surnames 1"_s;
}

bool writeNameSortKey(QSqlDatabase db, qint64 key, const QString &name, QString *error) {
    if (SqlDialect::of(db).isServer())
        return true;
    QSqlQuery q(db);
    if (!createSideTables(q, error))
        return false;
    q.prepare(u"INSERT OR REPLACE INTO KYCUST_SORT (MKEY, NAME, SORTKEY) VALUES (?, ?, ?)"_s);
    q.addBindValue(key);
    q.addBindValue(name);
    q.addBindValue(nameSortKey(name));
    return q.exec() || sqlrow::fail(q, error);
}

bool removeNameSortKey(QSqlDatabase db, qint64 key, QString *error) {
    if (SqlDialect::of(db).isServer())
        return true;
    QSqlQuery q(db);
    if (!createSideTables(q, error))
        return false;
    q.prepare(u"DELETE FROM KYCUST_SORT WHERE MKEY = ?"_s);
    q.addBindValue(key);
    return q.exec() || sqlrow::fail(q, error);
}

namespace {

// A register this program may not write gets its keys for the session only, in a
// temporary table that hides the file's own.
bool makeSessionKeys(QSqlDatabase db, QString *error) {
    QSqlQuery q(db);
    if (!q.exec(
            u"CREATE TEMP TABLE IF NOT EXISTS KYCUST_SORT (MKEY INTEGER PRIMARY KEY, NAME TEXT, SORTKEY BLOB)"_s) ||
        !q.exec(u"CREATE INDEX IF NOT EXISTS temp.KYCS_SORTKEY ON KYCUST_SORT (SORTKEY, MKEY)"_s) ||
        !q.exec(u"DELETE FROM temp.KYCUST_SORT"_s))
        return sqlrow::fail(q, error);
    const std::optional<std::vector<NamedRow>> rows = rowsLackingKeys(db, error);
    if (!rows)
        return false;
    q.prepare(u"INSERT INTO temp.KYCUST_SORT (MKEY, NAME, SORTKEY) VALUES (?, ?, ?)"_s);
    for (const NamedRow &row : *rows) {
        q.addBindValue(row.key);
        q.addBindValue(row.name);
        q.addBindValue(nameSortKey(row.name));
        if (!q.exec())
            return sqlrow::fail(q, error);
    }
    return true;
}

bool refreshFileKeys(QSqlDatabase db, KeyCheck check, QString *error) {
    QSqlQuery q(db);
    if (!q.exec(u"SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'KYCUST_SORT'"_s))
        return sqlrow::fail(q, error);
    const bool tableExists = q.next();
    const bool versionChanged = !tableExists || storedVersion(db) != nameCollationVersion();
    if (!versionChanged && check == KeyCheck::Quick && newestSubjectHasKey(db))
        return true;
    std::optional<std::vector<NamedRow>> lacking;
    if (!versionChanged) {
        lacking = rowsLackingKeys(db, error);
        if (!lacking)
            return false;
        if (lacking->empty() && !hasOrphanKeys(db))
            return true;
    }
    Transaction tx(db, Transaction::Writer);
    if (versionChanged) {
        if (!createSideTables(q, error) || !storeVersion(q, error))
            return false;
        lacking = rowsLackingKeys(db, error);
        if (!lacking)
            return false;
    }
    if (!q.exec(u"DELETE FROM KYCUST_SORT WHERE MKEY NOT IN (SELECT MKEY FROM KYCUST)"_s))
        return sqlrow::fail(q, error);
    for (const NamedRow &row : *lacking) {
        if (!writeNameSortKey(db, row.key, row.name, error))
            return false;
    }
    return !tx.isActive() || sqlrow::commit(tx, db, error);
}

} // namespace

bool refreshNameSortKeys(QSqlDatabase db, KeyCheck check, QString *error) {
    if (SqlDialect::of(db).isServer())
        return true;
    return refreshFileKeys(db, check, error) || makeSessionKeys(db, error);
}

QString nameOrderExpression(const SqlDialect &dialect) {
    if (dialect.isServer())
        return u"("_s + serverCollatedName() + u" COLLATE \"zh-x-icu\")"_s;
    return u"(SELECT SORTKEY FROM KYCUST_SORT s WHERE s.MKEY = KYCUST.MKEY)"_s;
}

QString nameListQuery(bool descending) {
    const QString direction = descending ? u" DESC"_s : u" ASC"_s;
    return u"SELECT MKEY FROM KYCUST_SORT ORDER BY SORTKEY"_s + direction + u", MKEY"_s + direction;
}

} // namespace orlu
