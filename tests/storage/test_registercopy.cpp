#include "recordfixture.h"
#include "storage/listindexes.h"
#include "storage/registercopy.h"
#include "storage/schema.h"
#include "storage/serverschema.h"
#include "storage/qualityrows.h"
#include "records/subjectrepository.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestRegisterCopy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { test::addBackendRows(); }
    void init() { ORLU_USE_BACKEND_OF_ROW(); }
    void copiesEveryValueBothWays();
    void refusesATargetThatHoldsRows();
    void newRowsFollowTheCopiedKeys();
    void settingUpTwiceChangesNothing();
    void aFirstVersionRegisterIsBroughtUpToDate();
    void operatorMayChangeRowsButNotTables();
};

namespace {

// Every column of every row, in key order, as comparable text.
QStringList dump(const QSqlDatabase &db) {
    QStringList rows;
    for (const TableDef &table : tablesOf(SchemaKind::Main)) {
        QSqlQuery q(db);
        const QStringList columns = columnNames(table);
        const QString order = columns.contains(u"CHANNEL"_s) ? u"MKEY, CHANNEL"_s : columns.first();
        if (!q.exec(u"SELECT %1 FROM %2 ORDER BY %3"_s.arg(columns.join(u", "_s),
                                                           QLatin1StringView(table.name), order)))
            qFatal("dump: %s", qPrintable(q.lastError().text()));
        while (q.next()) {
            QStringList values{QString::fromLatin1(table.name)};
            for (int c = 0; c < columns.size(); ++c) {
                const QVariant v = q.value(c);
                switch (table.columns.at(c).type) {
                case ColumnDef::Boolean:
                    values << (v.toBool() ? u"true"_s : u"false"_s);
                    break;
                case ColumnDef::Float:
                case ColumnDef::DateTime:
                    values << QString::number(v.toDouble(), 'g', 17);
                    break;
                case ColumnDef::Blob:
                    values << (v.isNull() ? u"null"_s : QString::fromLatin1(v.toByteArray().toHex()));
                    break;
                default:
                    values << (v.isNull() ? u"null"_s : v.toString());
                }
            }
            rows << values.join(u'|');
        }
    }
    return rows;
}

// A register with every kind of value, the carried columns included, and a gap in its keys.
void fill(test::RecordFixture &f) {
    f.addSubject(u"A1"_s, u"王小明"_s, true, 33000.5, u"北京市"_s, u"010"_s);
    const qint64 gone = f.addSubject(u"gone"_s, u"x"_s);
    f.addSubject(u"b2"_s, u"Zhang"_s, false, 0);
    const qint64 measured =
        f.addMeasurement(u"A1"_s, 46000.123456789, 12.3456789012345, true, u"第一行\r\n第二行"_s);
    MeasurementQuality quality{};
    quality[0] = PointQuality{
        412, 1000.125, 3.5, 0.35, -0.123456789, 30.5, 2, QualityFlag::Retried, QualityVerdict::Steady};
    quality[23] = PointQuality{
        8, 4095, 0, 0, 0, 0, 1, QualityFlag::Saturated | QualityFlag::TooFew, QualityVerdict::Saturated};
    QVERIFY(writeQualityRows(f.db(), measured, quality));
    f.addMeasurement(u"b2"_s, 46001.5, 0.1);
    QSqlQuery q(f.db());
    QVERIFY(q.exec(u"DELETE FROM KYCUST WHERE MKEY = %1"_s.arg(gone)));
    QVERIFY(q.exec(u"UPDATE KYCUST SET BTYPE = 'AB', HEIGHT = 171.5, WEIGHT = 60.25, CUSTCAT = '类', "
                   "CUSTFG = 'f', PrtFG = TRUE, MEMO = 'm' WHERE CUSTNO = 'A1'"_s));
    QVERIFY(q.exec(u"UPDATE KYDATA SET MEMO2 = 'two', AutoKey = '17', PrtFG = TRUE WHERE CUSTNO = 'A1'"_s));
    q.prepare(
        u"INSERT INTO KYPRO (ProNo, ProName, ProData, ProPict, ProScal, ProFN, ProScrp1, ProPrg4, ProParm2, "
        "PrtFG) VALUES (?, ?, ?, ?, TRUE, '1010', 'hint', 'prog', 'parm', FALSE)"_s);
    q.addBindValue(u"P1"_s);
    q.addBindValue(u"疗程"_s);
    q.addBindValue(u"说明"_s);
    q.addBindValue(QByteArray("\x00\x01\xffpicture", 10));
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    QVERIFY(q.exec(
        u"INSERT INTO KYPRDT (ProNo, ProSubN, ProNote, ProCond, ProAnd, ProAGL, ProAGH, ProEng, ProFlg) "
        "VALUES ('p1', 'c', 'n', '100000000000000000000000', '010000000000000000000000', 10, 60, 45.5, "
        "TRUE)"_s));
}

// The server register's tables, indexes, sequences, triggers and the operators' rights.
QStringList serverCatalog(const QSqlDatabase &db) {
    QStringList names;
    QSqlQuery q(db);
    q.exec(u"SELECT relname || ':' || relkind::text FROM pg_class WHERE relnamespace = "
           u"'public'::regnamespace "
           "UNION ALL SELECT tgname FROM pg_trigger WHERE NOT tgisinternal "
           "UNION ALL SELECT grantee || ':' || table_name || ':' || privilege_type "
           "FROM information_schema.role_table_grants WHERE grantee = 'orlu_operator' ORDER BY 1"_s);
    while (q.next())
        names << q.value(0).toString();
    return names;
}

} // namespace

void TestRegisterCopy::copiesEveryValueBothWays() {
    test::RecordFixture source;
    fill(source);
    const QStringList original = dump(source.db());
    QCOMPARE(original.size(), 10); // with the identity and zone: the copy is the same register

    // Out of the row's register into a file, then into another register of the row's kind.
    test::TempHome folder;
    Database file;
    test::openEmptyRegister(file, Backend::Sqlite, folder.path(), nullptr);
    RegisterCounts counts{};
    QString error;
    QVERIFY2(copyRegister(source.db(), file.handle(), &counts, &error), qPrintable(error));
    QCOMPARE(counts, (RegisterCounts{2, 2, 1, 1}));
    QCOMPARE(dump(file.handle()), original);

    test::RecordFixture target;
    QVERIFY2(copyRegister(file.handle(), target.db(), &counts, &error), qPrintable(error));
    QCOMPARE(dump(target.db()), original);
}

void TestRegisterCopy::refusesATargetThatHoldsRows() {
    test::RecordFixture source;
    fill(source);
    test::RecordFixture target;
    target.addSubject(u"T1"_s, u"already there"_s);
    QString error;
    QVERIFY(!copyRegister(source.db(), target.db(), nullptr, &error));
    QVERIFY(error.contains(u"不是空的"_s));
    QCOMPARE(target.rows(u"KYCUST"_s), 1);
    QCOMPARE(target.rows(u"KYDATA"_s), 0);
}

void TestRegisterCopy::newRowsFollowTheCopiedKeys() {
    test::RecordFixture source;
    fill(source);
    test::RecordFixture target;
    QVERIFY(copyRegister(source.db(), target.db()));
    // The highest copied subject key is 3: a new subject must not take a copied key.
    QCOMPARE(target.addSubject(u"N"_s, u"new"_s), qint64(4));
    QVERIFY(target.addMeasurement(u"N"_s, 46002) > 2);
}

void TestRegisterCopy::settingUpTwiceChangesNothing() {
    if (test::currentBackend() == Backend::Sqlite)
        QSKIP("a file is set up by creating it");
    test::ScratchServerDatabase scratch;
    Database db;
    QVERIFY2(db.openServer(scratch.connection()), qPrintable(scratch.error()));
    QString error;
    QCOMPARE(initServerRegister(db.handle(), &error), InitResult::Created);
    QCOMPARE(serverSchemaVersion(db.handle()), SchemaVersion);
    const QStringList before = serverCatalog(db.handle());
    QVERIFY(before.contains(u"kycs_custno:i"_s));
    QVERIFY(before.contains(u"kycust_changed"_s));
    QVERIFY(before.contains(u"orlu_operator:kydata:DELETE"_s));
    QSqlQuery(db.handle()).exec(u"INSERT INTO KYCUST (CUSTNO) VALUES ('S1')"_s);
    QCOMPARE(initServerRegister(db.handle(), &error), InitResult::AlreadyThere);
    QCOMPARE(serverCatalog(db.handle()), before);
    QCOMPARE(countRegister(db.handle()), (RegisterCounts{1, 0, 0, 0}));
}

void TestRegisterCopy::aFirstVersionRegisterIsBroughtUpToDate() {
    if (test::currentBackend() == Backend::Sqlite)
        QSKIP("a file gets its new tables when it is opened for writing");
    test::ScratchServerDatabase scratch;
    Database db;
    QVERIFY2(db.openServer(scratch.connection()), qPrintable(scratch.error()));
    QCOMPARE(initServerRegister(db.handle()), InitResult::Created);
    const QStringList current = serverCatalog(db.handle());
    // What the first version set up: everything but the quality table, its notices and rights.
    QSqlQuery q(db.handle());
    for (const QString &sql : {u"DROP TABLE KYQUAL"_s, u"DELETE FROM orlu_schema_version"_s,
                               u"INSERT INTO orlu_schema_version (version) VALUES (1)"_s,
                               u"INSERT INTO KYCUST (CUSTNO) VALUES ('S1')"_s})
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
    QCOMPARE(serverSchemaVersion(db.handle()), 1);
    QString error;
    QCOMPARE(initServerRegister(db.handle(), &error), InitResult::Upgraded);
    QCOMPARE(serverSchemaVersion(db.handle()), SchemaVersion);
    QCOMPARE(serverCatalog(db.handle()), current);
    QCOMPARE(countRegister(db.handle()), (RegisterCounts{1, 0, 0, 0}));
    QCOMPARE(initServerRegister(db.handle(), &error), InitResult::AlreadyThere);
}

void TestRegisterCopy::operatorMayChangeRowsButNotTables() {
    if (test::currentBackend() == Backend::Sqlite)
        QSKIP("a file has no roles");
    test::ScratchServerDatabase scratch;
    Database db;
    QVERIFY(db.openServer(scratch.connection()));
    QCOMPARE(initServerRegister(db.handle()), InitResult::Created);
    QSqlQuery q(db.handle());
    QVERIFY(q.exec(u"SET ROLE orlu_operator"_s));
    QVERIFY2(q.exec(u"INSERT INTO KYCUST (CUSTNO) VALUES ('S1')"_s), qPrintable(q.lastError().text()));
    QVERIFY(q.exec(u"UPDATE KYCUST SET NAME = 'n'"_s));
    QVERIFY(q.exec(u"INSERT INTO KYPRDT (ProNo) VALUES ('P')"_s));
    QVERIFY(q.exec(u"DELETE FROM KYPRDT"_s));
    QVERIFY(q.exec(u"SELECT version FROM orlu_schema_version"_s));
    QVERIFY(!q.exec(u"UPDATE orlu_schema_version SET version = 9"_s));
    QVERIFY(!q.exec(u"DROP TABLE KYDATA"_s));
    QVERIFY(!q.exec(u"CREATE TABLE extra (a int)"_s));
    QVERIFY(!q.exec(u"TRUNCATE KYCUST"_s));
    // What a seat does under the role: add a subject with its check, read its key, look for the indexes.
    const SubjectRepository::AddResult added =
        SubjectRepository(db.handle()).appendNew(SubjectRecord{0, test::subjectOf(u"S2"_s), {}});
    QVERIFY(added.key > 0);
    QVERIFY(ensureListIndexes(db.handle()));
}

QTEST_GUILESS_MAIN(TestRegisterCopy)
#include "test_registercopy.moc"
