#include "storage/schema.h"

#include "platform/outputfile.h"
#include "platform/privatefiles.h"
#include "storage/database.h"
#include "storage/listindexes.h"
#include "storage/registeridentity.h"
#include "storage/serverschema.h"

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

// One row per measured point of a KYDATA row (MKEY): how sound its reading was.
TableDef kyqual() {
    return {"KYQUAL",
            {{"MKEY", C::Integer, 0},
             {"CHANNEL", C::Integer, 0},
             {"SAMPLES", C::Integer, 0},
             {"MEAN", C::Float, 0},
             {"SD", C::Float, 0},
             {"DRIFT", C::Float, 0},
             {"SETTLING", C::Float, 0},
             {"ATTEMPTS", C::Integer, 0},
             {"FLAGS", C::Integer, 0},
             {"VERDICT", C::Text, 12}},
            true};
}

const QString QualityIndexSql = u"CREATE UNIQUE INDEX KYQL1 ON KYQUAL (MKEY, CHANNEL)"_s;

// The register's own settings, one row a name: its identity and its time zone.
TableDef orlureg() {
    return {"ORLUREG", {{"SETNAME", C::Text, 30}, {"SETVALUE", C::Text, 100}}, true};
}

const QString RegisterSettingIndexSql = u"CREATE UNIQUE INDEX ORLURG1 ON ORLUREG (SETNAME)"_s;

// Where a KYDATA row (MKEY) was measured: the time zone of the seat, and the probe's
// serial number and hardware text (empty when no probe told them).
TableDef kyorigin() {
    return {
        "KYORIGIN",
        {{"MKEY", C::Integer, 0}, {"TZ", C::Text, 64}, {"PROBESN", C::Text, 24}, {"PROBEHW", C::Text, 64}},
        true};
}

const QString OriginIndexSql = u"CREATE UNIQUE INDEX KYOR1 ON KYORIGIN (MKEY)"_s;
// The probes seen, each with its latest measurement, without reading every row.
const QString ProbeIndexSql = u"CREATE INDEX KYOR2 ON KYORIGIN (PROBESN, MKEY)"_s;

// The tables later schema versions added to the main database, each with its indexes.
QList<std::pair<TableDef, QStringList>> addedMainTables() {
    return {{kyqual(), {QualityIndexSql}},
            {orlureg(), {RegisterSettingIndexSql}},
            {kyorigin(), {OriginIndexSql, ProbeIndexSql}}};
}

// Every calibration of the seat's probe that ended with values.
TableDef kycallog() {
    return {"KYCALLOG",
            {{"MKEY", C::AutoKey, 0},
             {"CALDATE", C::DateTime, 0},
             {"CALMODE", C::Text, 20},
             {"STDVALUE", C::Integer, 0},
             {"HIGHVALUE", C::Integer, 0},
             {"SENSITIVITY", C::Float, 0},
             {"SUCCESS", C::Boolean, 0},
             // Why a calibration failed; empty for a successful one, and in logs older than it.
             {"CAUSE", C::Text, 80}}};
}

// The seat's settings of its calibrations, one row a name.
TableDef kycalset() {
    return {"KYCALSET", {{"SETNAME", C::Text, 30}, {"SETVALUE", C::Integer, 0}}};
}

const QString CalibrationSettingIndexSql = u"CREATE UNIQUE INDEX KyCalSetA ON KYCALSET (SETNAME)"_s;

QString createTableSql(const SqlDialect &dialect, const TableDef &table) {
    QStringList cols;
    for (const ColumnDef &c : table.columns)
        cols << dialect.columnSql(c);
    return u"CREATE TABLE %1 (%2)"_s.arg(QLatin1StringView(table.name), cols.join(u", "_s));
}

bool execAll(QSqlDatabase &db, const QStringList &statements, QString *error) {
    QSqlQuery q(db);
    for (const QString &sql : statements) {
        if (!q.exec(sql)) {
            if (error)
                *error = sql + u": "_s + q.lastError().text();
            return false;
        }
    }
    return true;
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

QStringList indexSql(SchemaKind kind) {
    switch (kind) {
    case SchemaKind::Main:
        return {u"CREATE INDEX KYCS1 ON KYCUST (CUSTNO)"_s,
                u"CREATE INDEX KYDT1 ON KYDATA (CUSTNO, KYDATE)"_s,
                u"CREATE INDEX KyProB ON KYPRO (ProNo)"_s,
                u"CREATE INDEX KyPrdtA ON KYPRDT (ProNo)"_s,
                QualityIndexSql,
                RegisterSettingIndexSql,
                OriginIndexSql,
                ProbeIndexSql};
    case SchemaKind::SuppliedCourses:
        return {u"CREATE INDEX KyProB ON KYPRO (ProNo)"_s, u"CREATE INDEX KyPrdtA ON KYPRDT (ProNo)"_s};
    case SchemaKind::ReferenceTexts:
        return {u"CREATE UNIQUE INDEX KyMtA ON KYMTDB (MKEY)"_s};
    case SchemaKind::CalibrationLog:
        return {CalibrationSettingIndexSql};
    }
    return {};
}

} // namespace

QList<TableDef> tablesOf(SchemaKind kind) {
    switch (kind) {
    case SchemaKind::Main:
        return {kycust(),  kydata(),  {"KYPRO", kyproColumns(false)}, kyprdt(), kyqual(),
                orlureg(), kyorigin()};
    case SchemaKind::SuppliedCourses:
        return {{"KYPRO", kyproColumns(true)}, kyprdt()};
    case SchemaKind::ReferenceTexts:
        return {kymtdb()};
    case SchemaKind::CalibrationLog:
        return {kycallog(), kycalset()};
    }
    return {};
}

const TableDef &tableDef(SchemaKind kind, const QString &table) {
    static const QList<TableDef> main = tablesOf(SchemaKind::Main);
    static const QList<TableDef> refs = tablesOf(SchemaKind::ReferenceTexts);
    static const QList<TableDef> supplied = tablesOf(SchemaKind::SuppliedCourses);
    static const QList<TableDef> calibration = tablesOf(SchemaKind::CalibrationLog);
    const QList<TableDef> &set = kind == SchemaKind::Main              ? main
                                 : kind == SchemaKind::ReferenceTexts  ? refs
                                 : kind == SchemaKind::SuppliedCourses ? supplied
                                                                       : calibration;
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

QString insertSql(const QString &table, const QStringList &columns) {
    return u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, columns.join(u", "_s),
                                                    QStringList(columns.size(), u"?"_s).join(u", "_s));
}

bool createSchemaObjects(QSqlDatabase &db, SchemaKind kind, QString *error) {
    const SqlDialect dialect = SqlDialect::of(db);
    QSqlQuery q(db);
    auto fail = [&](const QString &what) {
        if (error)
            *error = what + u": "_s + q.lastError().text();
        return false;
    };
    if (dialect.isServer() && kind != SchemaKind::Main) {
        if (error)
            *error = u"数据库服务器上只有主数据库的数据表。"_s;
        return false;
    }
    for (const TableDef &t : tablesOf(kind)) {
        if (!q.exec(createTableSql(dialect, t)))
            return fail(QString::fromLatin1(t.name));
    }
    for (const QString &sql : indexSql(kind)) {
        if (!q.exec(sql))
            return fail(sql);
    }
    // The record lists' own indexes come with every new main database file, and the
    // register its identity.
    if (kind == SchemaKind::Main && (!ensureListIndexes(db, error) || !ensureRegisterSettings(db, error)))
        return false;
    if (dialect.isServer()) {
        for (const QString &sql : serverRegisterSql()) {
            if (!q.exec(sql))
                return fail(sql);
        }
    } else if (!q.exec(u"PRAGMA user_version = %1"_s.arg(SchemaVersion))) {
        return fail(u"user_version"_s);
    }
    return true;
}

bool hasTable(const QSqlDatabase &db, const QString &table) {
    QSqlQuery q(db);
    q.prepare(SqlDialect::of(db).tableColumnsQuery());
    q.addBindValue(table);
    return q.exec() && q.next();
}

bool hasColumn(const QSqlDatabase &db, const QString &table, const QString &column) {
    QSqlQuery q(db);
    q.prepare(SqlDialect::of(db).tableColumnsQuery());
    q.addBindValue(table);
    if (!q.exec())
        return false;
    while (q.next()) {
        if (q.value(0).toString().compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList missingMainTables(const QSqlDatabase &db) {
    QStringList missing;
    for (const auto &[table, indexes] : addedMainTables()) {
        if (!hasTable(db, QString::fromLatin1(table.name)))
            missing << QString::fromLatin1(table.name);
    }
    return missing;
}

bool upgradeMainSchema(QSqlDatabase &db, QString *error) {
    const QStringList missing = missingMainTables(db);
    if (missing.isEmpty() && !registerSettingsMissing(db))
        return true;
    const SqlDialect dialect = SqlDialect::of(db);
    QStringList statements;
    for (const auto &[table, indexes] : addedMainTables()) {
        if (missing.contains(QString::fromLatin1(table.name)))
            statements << createTableSql(dialect, table) << indexes;
    }
    if (!dialect.isServer())
        statements << u"PRAGMA user_version = %1"_s.arg(SchemaVersion);
    Transaction tx(db);
    if (!execAll(db, statements, error) || !ensureRegisterSettings(db, error))
        return false;
    // Inside a caller's transaction the caller commits.
    if (tx.isActive() && !tx.commit()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    return true;
}

bool upgradeCalibrationLog(QSqlDatabase &db, QString *error) {
    const SqlDialect dialect = SqlDialect::of(db);
    QStringList statements;
    for (const TableDef &t : tablesOf(SchemaKind::CalibrationLog)) {
        const QString table = QString::fromLatin1(t.name);
        if (!hasTable(db, table)) {
            statements << createTableSql(dialect, t);
            if (table == u"KYCALSET"_s)
                statements << CalibrationSettingIndexSql;
            continue;
        }
        for (const ColumnDef &c : t.columns) {
            if (!hasColumn(db, table, QString::fromLatin1(c.name)))
                statements << u"ALTER TABLE %1 ADD COLUMN %2"_s.arg(table, dialect.columnSql(c));
        }
    }
    if (statements.isEmpty())
        return true;
    Transaction tx(db);
    if (!execAll(db, statements, error))
        return false;
    if (!tx.commit()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    return true;
}

bool createSchema(QSqlDatabase &db, SchemaKind kind, QString *error) {
    Transaction tx(db);
    if (!createSchemaObjects(db, kind, error))
        return false;
    if (!tx.commit()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    return true;
}

bool createDatabaseFile(const QString &path, SchemaKind kind, QString *error, ExistingFile existing) {
    const PathKind target = pathKind(path);
    if (target != PathKind::Absent && target != PathKind::Regular) {
        // A pipe or device in the file's place is the operator's; it is never replaced.
        if (error)
            *error = u"不是普通文件: "_s + path;
        return false;
    }
    const WorkFolder work(path);
    if (!work.isValid()) {
        if (error)
            *error = work.error();
        return false;
    }
    const QString temp = work.filePath(u"new.mdb"_s);
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
    if (!made)
        return false;
    if (existing == ExistingFile::Replace)
        return replaceFile(temp, path, error);
    // Another program may have made it meanwhile: then its file is the one.
    if (placeNewFile(temp, path) || pathKind(path) == PathKind::Regular)
        return true;
    if (error)
        *error = u"无法建立文件: "_s + path;
    return false;
}

} // namespace orlu
