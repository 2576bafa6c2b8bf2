#include "records/schema.h"

#include "core/privatefiles.h"
#include "records/database.h"
#include "records/listqueries.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

using C = ColumnDef;

QList<ColumnDef> kyproColumns(bool supplied) {
    QList<ColumnDef> cols{
        {"MKEY", C::AutoKey, 0},    {"ProNo", C::Text, 12},     {"ProName", C::Text, 24},
        {"ProData", C::Memo, 0},    {"ProPict", C::Blob, 0},    {"ProScal", C::Boolean, 0},
        {"ProFN", C::Text, 50},     {"ProScrp1", C::Text, 150}, {"ProScrp2", C::Text, 150},
        {"ProScrp3", C::Text, 150}, {"ProScrp4", C::Text, 150}, {"ProPrg1", C::Text, 150},
        {"ProPrg2", C::Text, 150},  {"ProPrg3", C::Text, 150},  {"ProPrg4", C::Text, 150},
        {"ProParm1", C::Text, 150}, {"ProParm2", C::Text, 150}, {"ProParm3", C::Text, 150},
        {"ProParm4", C::Text, 150}, {"PrtFG", C::Boolean, 0},
    };
    if (supplied) {
        for (const char *name :
             {"ProMed1", "ProMed2", "ProMed3", "ProHel1", "ProHel2", "ProHel3", "ProHel4", "ProHel5"})
            cols.append({name, C::Memo, 0});
    }
    return cols;
}

TableDef kycust() {
    return {"KYCUST",
            {{"CUSTNO", C::Text, 15},
             {"NAME", C::Text, 50},
             {"SEX", C::Boolean, 0},
             {"DBIRTH", C::DateTime, 0},
             {"ADDR", C::Text, 100},
             {"TEL", C::Text, 30},
             {"TEL2", C::Text, 30},
             {"TEL3", C::Text, 30},
             {"EMAIL", C::Text, 50},
             {"MEMO", C::Memo, 0},
             {"MKEY", C::AutoKey, 0},
             {"BTYPE", C::Text, 5},
             {"HEIGHT", C::Float, 0},
             {"WEIGHT", C::Float, 0},
             {"CUSTCAT", C::Text, 50},
             {"CUSTFG", C::Text, 10},
             {"PrtFG", C::Boolean, 0}}};
}

TableDef kydata() {
    TableDef t{"KYDATA", {{"CUSTNO", C::Text, 15}, {"KYDATE", C::DateTime, 0}, {"KYVOTA", C::Boolean, 0}}};
    static const QList<QByteArray> channelNames = [] {
        QList<QByteArray> names;
        for (int c = 1; c <= 24; ++c)
            names << "KY" + QByteArray::number(c);
        return names;
    }();
    for (const QByteArray &n : channelNames)
        t.columns.append({n.constData(), C::Float, 0});
    t.columns.append({"MEMO1", C::Memo, 0});
    t.columns.append({"MEMO2", C::Memo, 0});
    t.columns.append({"AutoKey", C::Text, 50});
    t.columns.append({"PrtFG", C::Boolean, 0});
    t.columns.append({"MKEY", C::AutoKey, 0});
    return t;
}

TableDef kyprdt() {
    return {"KYPRDT",
            {{"MKEY", C::AutoKey, 0},
             {"ProNo", C::Text, 12},
             {"ProSubN", C::Text, 24},
             {"ProNote", C::Text, 50},
             {"ProCond", C::Text, 30},
             {"ProAnd", C::Text, 30},
             {"ProAGL", C::Integer, 0},
             {"ProAGH", C::Integer, 0},
             {"ProEng", C::Float, 0},
             {"ProFlg", C::Boolean, 0},
             {"PrtFG", C::Boolean, 0}}};
}

TableDef kymtdb() {
    TableDef t{"KYMTDB", {{"MKEY", C::Integer, 0}}};
    for (const char *n : {"DtEA1",  "DtEA2", "DtEA3", "DtEA4", "DtEA5", "DtPot1", "DtPot2",
                          "DtPot3", "DtMA1", "DtMA2", "DtMA3", "DtMH1", "DtMH2",  "DtMH3",
                          "DtMH4",  "DtMH5", "DtML1", "DtML2", "DtML3", "DtML4",  "DtML5"})
        t.columns.append({n, C::Memo, 0});
    t.columns.append({"DtGpM", C::Blob, 0});
    return t;
}

QString columnSql(const ColumnDef &c) {
    const QString name = QString::fromLatin1(c.name);
    switch (c.type) {
    case C::Text:
        // The size is kept in the declared type and enforced like the original engine did.
        return u"%1 VARCHAR(%2) CHECK (length(%1) <= %2)"_s.arg(name).arg(c.size);
    case C::Memo:
        return name + u" TEXT"_s;
    case C::Boolean:
        return name + u" BOOLEAN NOT NULL DEFAULT 0"_s;
    case C::DateTime:
        // Day count since 1899-12-30, the fraction being the time of day.
        return name + u" REAL NOT NULL DEFAULT 0"_s;
    case C::Float:
        return name + u" REAL NOT NULL DEFAULT 0"_s;
    case C::Integer:
        return name + u" INTEGER NOT NULL DEFAULT 0"_s;
    case C::AutoKey:
        return name + u" INTEGER PRIMARY KEY AUTOINCREMENT"_s;
    case C::Blob:
        return name + u" BLOB"_s;
    }
    return name;
}

QStringList indexSql(SchemaKind kind) {
    switch (kind) {
    case SchemaKind::Main:
        return {u"CREATE INDEX KYCS1 ON KYCUST (CUSTNO)"_s,
                u"CREATE INDEX KYDT1 ON KYDATA (CUSTNO, KYDATE)"_s, u"CREATE INDEX KyProB ON KYPRO (ProNo)"_s,
                u"CREATE INDEX KyPrdtA ON KYPRDT (ProNo)"_s};
    case SchemaKind::SuppliedCourses:
        return {u"CREATE INDEX KyProB ON KYPRO (ProNo)"_s, u"CREATE INDEX KyPrdtA ON KYPRDT (ProNo)"_s};
    case SchemaKind::ReferenceTexts:
        return {u"CREATE UNIQUE INDEX KyMtA ON KYMTDB (MKEY)"_s};
    }
    return {};
}

} // namespace

QList<TableDef> tablesOf(SchemaKind kind) {
    switch (kind) {
    case SchemaKind::Main:
        return {kycust(), kydata(), {"KYPRO", kyproColumns(false)}, kyprdt()};
    case SchemaKind::SuppliedCourses:
        return {{"KYPRO", kyproColumns(true)}, kyprdt()};
    case SchemaKind::ReferenceTexts:
        return {kymtdb()};
    }
    return {};
}

const TableDef &tableDef(SchemaKind kind, const QString &table) {
    static const QList<TableDef> main = tablesOf(SchemaKind::Main);
    static const QList<TableDef> refs = tablesOf(SchemaKind::ReferenceTexts);
    static const QList<TableDef> supplied = tablesOf(SchemaKind::SuppliedCourses);
    const QList<TableDef> &set = kind == SchemaKind::Main             ? main
                                 : kind == SchemaKind::ReferenceTexts ? refs
                                                                      : supplied;
    for (const TableDef &t : set) {
        if (table.compare(QLatin1StringView(t.name), Qt::CaseInsensitive) == 0)
            return t;
    }
    Q_ASSERT_X(false, "tableDef", "unknown table");
    return set.first();
}

QStringList columnNames(const TableDef &table) {
    QStringList names;
    for (const ColumnDef &c : table.columns)
        names << QString::fromLatin1(c.name);
    return names;
}

bool createSchema(QSqlDatabase &db, SchemaKind kind, QString *error) {
    Transaction tx(db);
    QSqlQuery q(db);
    auto fail = [&](const QString &what) {
        if (error)
            *error = what + u": "_s + q.lastError().text();
        return false;
    };
    for (const TableDef &t : tablesOf(kind)) {
        QStringList cols;
        for (const ColumnDef &c : t.columns)
            cols << columnSql(c);
        if (!q.exec(u"CREATE TABLE %1 (%2)"_s.arg(QLatin1StringView(t.name), cols.join(u", "_s))))
            return fail(QString::fromLatin1(t.name));
    }
    for (const QString &sql : indexSql(kind)) {
        if (!q.exec(sql))
            return fail(sql);
    }
    // The record lists' own indexes come with every new main database file.
    if (kind == SchemaKind::Main && !ensureListIndexes(db, error))
        return false;
    if (!q.exec(u"PRAGMA user_version = %1"_s.arg(SchemaVersion)))
        return fail(u"user_version"_s);
    if (!tx.commit()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    return true;
}

bool createDatabaseFile(const QString &path, SchemaKind kind, QString *error) {
    const PathKind target = pathKind(path);
    if (target != PathKind::Absent && target != PathKind::Regular) {
        // A pipe or device in the file's place is the operator's; it is never replaced.
        if (error)
            *error = u"不是普通文件: "_s + path;
        return false;
    }
    const QString temp = path + u".new"_s;
    QFile::remove(temp);
    bool made = false;
    {
        Database db;
        if (db.create(temp, error)) {
            QSqlDatabase handle = db.handle();
            made = createSchema(handle, kind, error);
            // Installation files are copied around whole: keep them in the plain journal mode.
            if (made)
                QSqlQuery(handle).exec(u"PRAGMA journal_mode=DELETE"_s);
            handle = QSqlDatabase();
            db.close();
        }
    }
    if (made && replaceFile(temp, path, error))
        return true;
    // A failed creation leaves nothing behind.
    for (const QString &suffix : {u""_s, u"-wal"_s, u"-shm"_s, u"-journal"_s})
        QFile::remove(temp + suffix);
    return false;
}

} // namespace orlu
