#include "quality/verdicts.h"
#include "storage/database.h"
#include "storage/qualityrows.h"
#include "storage/registeridentity.h"
#include "storage/schema.h"
#include "support/temphome.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// "1:steady 24:saturated": the channels whose verdict is known, and the verdict words.
QString verdicts(const MeasurementQuality &quality) {
    QStringList known;
    for (int c = 1; c <= 24; ++c) {
        if (quality[size_t(c - 1)])
            known << QString::number(c) + u':' + verdictWord(quality[size_t(c - 1)]->verdict);
    }
    return known.join(u' ');
}

// The same of the rows stored for measurement 7.
QString storedVerdicts(const QSqlDatabase &db) {
    QSqlQuery q(u"SELECT CHANNEL, VERDICT FROM KYQUAL WHERE MKEY = 7 ORDER BY CHANNEL"_s, db);
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString() + u':' + q.value(1).toString();
    return rows.join(u' ');
}

// A new, empty main database in a temporary folder, open for writing.
struct FreshMainDatabase {
    FreshMainDatabase() {
        const QString path = home.file(u"m.mdb"_s);
        QVERIFY(createDatabaseFile(path, SchemaKind::Main));
        QVERIFY(db.open(path, Database::Access::Shared));
    }
    test::TempHome home;
    Database db;
};

} // namespace

class TestSchema : public QObject {
    Q_OBJECT
private slots:
    void filesHoldTheirTables_data();
    void filesHoldTheirTables();
    void autoKeyAssignedOnInsert();
    void textSizesEnforced();
    void measurementIndexOrdersBySubjectThenDate();
    void refusesFilesThatAreNotDatabases_data();
    void refusesFilesThatAreNotDatabases();
    void openNeverCreatesAFile();
    void failedChangeLeavesNothing();
    void qualityIsKeptBesideTheMeasurement_data();
    void qualityIsKeptBesideTheMeasurement();
    void registerGetsItsIdentityOnce();
};

void TestSchema::filesHoldTheirTables_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("columns");
    QTest::newRow("subjects") << int(SchemaKind::Main) << u"KYCUST"_s << 17;
    QTest::newRow("measurements") << int(SchemaKind::Main) << u"KYDATA"_s << 32;
    QTest::newRow("courses") << int(SchemaKind::Main) << u"KYPRO"_s << 20;
    QTest::newRow("conditions") << int(SchemaKind::Main) << u"KYPRDT"_s << 11;
    QTest::newRow("supplied courses") << int(SchemaKind::SuppliedCourses) << u"KYPRO"_s << 28;
    QTest::newRow("reference texts") << int(SchemaKind::ReferenceTexts) << u"KYMTDB"_s << 23;
    QTest::newRow("calibrations") << int(SchemaKind::CalibrationLog) << u"KYCALLOG"_s << 8;
    QTest::newRow("calibration settings") << int(SchemaKind::CalibrationLog) << u"KYCALSET"_s << 2;
}

void TestSchema::filesHoldTheirTables() {
    QFETCH(int, kind);
    QFETCH(QString, table);
    QFETCH(int, columns);
    test::TempHome home;
    const QString path = home.file(u"x.mdb"_s);
    QString error;
    QVERIFY2(createDatabaseFile(path, SchemaKind(kind), &error), qPrintable(error));
    Database db;
    QVERIFY2(db.open(path, Database::Access::ReadOnly, &error), qPrintable(error));
    const QSqlRecord rec = db.handle().record(table);
    QCOMPARE(rec.count(), columns);
    QCOMPARE(columnNames(tableDef(SchemaKind(kind), table)).size(), columns);
    for (const QString &c : columnNames(tableDef(SchemaKind(kind), table)))
        QVERIFY2(rec.contains(c), qPrintable(c));
}

void TestSchema::autoKeyAssignedOnInsert() {
    FreshMainDatabase fresh;
    Database &db = fresh.db;
    QSqlQuery q(db.handle());
    QVERIFY(q.prepare(u"INSERT INTO KYCUST (CUSTNO, NAME) VALUES (?, ?)"_s));
    q.addBindValue(u"A1"_s);
    q.addBindValue(u"王小明"_s);
    QVERIFY(q.exec());
    const qint64 first = q.lastInsertId().toLongLong();
    q.addBindValue(u"A2"_s);
    q.addBindValue(u"李四"_s);
    QVERIFY(q.exec());
    QCOMPARE(q.lastInsertId().toLongLong(), first + 1);
    QVERIFY(q.exec(u"SELECT SEX, DBIRTH, NAME FROM KYCUST WHERE CUSTNO = 'A1'"_s) && q.next());
    QCOMPARE(q.value(0).toBool(), false);
    QCOMPARE(q.value(1).toDouble(), 0.0);
    QCOMPARE(q.value(2).toString(), u"王小明"_s);
}

void TestSchema::textSizesEnforced() {
    FreshMainDatabase fresh;
    Database &db = fresh.db;
    QSqlQuery q(db.handle());
    QVERIFY(q.prepare(u"INSERT INTO KYCUST (CUSTNO) VALUES (?)"_s));
    q.addBindValue(QString(15, u'编'));
    QVERIFY2(q.exec(), "15 characters fit, whatever their bytes");
    q.addBindValue(QString(16, u'x'));
    QVERIFY(!q.exec());
}

void TestSchema::measurementIndexOrdersBySubjectThenDate() {
    FreshMainDatabase fresh;
    Database &db = fresh.db;
    QSqlQuery q(db.handle());
    QVERIFY(q.exec(u"SELECT sql FROM sqlite_master WHERE name = 'KYDT1'"_s) && q.next());
    QVERIFY(q.value(0).toString().contains(u"(CUSTNO, KYDATE)"_s));
}

void TestSchema::refusesFilesThatAreNotDatabases_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("old engine file") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) +
                                            QByteArray(2000, 'x');
    QTest::newRow("text") << QByteArray("hello world, this is not a database at all\n");
    QTest::newRow("header only") << QByteArray("SQLite format 3\0", 16);
}

void TestSchema::refusesFilesThatAreNotDatabases() {
    QFETCH(QByteArray, content);
    test::TempHome home;
    home.writeFile(u"orlu4.mdb"_s, content);
    Database db;
    QString error;
    QVERIFY(!db.open(home.file(u"orlu4.mdb"_s), Database::Access::Shared, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(home.readFile(u"orlu4.mdb"_s), content);
}

void TestSchema::openNeverCreatesAFile() {
    test::TempHome home;
    Database db;
    QVERIFY(!db.open(home.file(u"none.mdb"_s), Database::Access::Shared));
    QVERIFY(!QFileInfo::exists(home.file(u"none.mdb"_s)));
}

void TestSchema::failedChangeLeavesNothing() {
    FreshMainDatabase fresh;
    Database &db = fresh.db;
    {
        Transaction tx(db.handle());
        QSqlQuery q(db.handle());
        QVERIFY(q.exec(u"INSERT INTO KYCUST (CUSTNO) VALUES ('A')"_s));
        QVERIFY(!q.exec(u"INSERT INTO KYCUST (CUSTNO) VALUES ('0123456789abcdef')"_s));
    } // not committed: rolled back
    QSqlQuery q(db.handle());
    QVERIFY(q.exec(u"SELECT count(*) FROM KYCUST"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
}

// Each reading's quality and the mark of each point a stored run left out are kept beside
// the KYDATA row; a reader that knows no "unmeasured" verdict (older programs,
// readQualityRows) sees those points as of unknown quality.
void TestSchema::qualityIsKeptBesideTheMeasurement_data() {
    QTest::addColumn<QList<int>>("judged"); // channels with a steady verdict, 24 saturated
    QTest::addColumn<int>("measuredUpTo");  // readings 0 after this channel
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("read");
    QTest::newRow("complete run") << QList<int>{1, 24} << 24 << u"1:steady 24:saturated"_s
                                  << u"1:steady 24:saturated"_s;
    QTest::newRow("cut off after 21")
        << QList<int>{1, 2} << 21 << u"1:steady 2:steady 22:unmeasured 23:unmeasured 24:unmeasured"_s
        << u"1:steady 2:steady"_s;
    QTest::newRow("typed, three cells left empty")
        << QList<int>{} << 21 << u"22:unmeasured 23:unmeasured 24:unmeasured"_s << QString();
}

void TestSchema::qualityIsKeptBesideTheMeasurement() {
    QFETCH(QList<int>, judged);
    QFETCH(int, measuredUpTo);
    FreshMainDatabase fresh;
    const QSqlDatabase db = fresh.db.handle();
    MeasurementQuality quality{};
    for (int c : judged)
        quality[size_t(c - 1)] = PointQuality{412,
                                              1000.0,
                                              3.5,
                                              0,
                                              -0.125,
                                              30.5,
                                              2,
                                              QualityFlag::Retried,
                                              c == 24 ? QualityVerdict::Saturated : QualityVerdict::Steady};
    std::array<double, 24> readings{};
    std::fill_n(readings.begin(), measuredUpTo, 40.5);
    QVERIFY(writeQualityRows(db, 7, quality) && writeUnmeasuredRows(db, 7, readings));
    QVERIFY(writeQualityRows(db, 8, quality)); // another measurement's rows stay apart

    QTEST(storedVerdicts(db), "stored");
    const MeasurementQuality back = readQualityRows(db, 7);
    QTEST(verdicts(back), "read");
    if (!judged.isEmpty()) {
        const PointQuality &p = *back[size_t(judged.first() - 1)];
        QCOMPARE(p.samples, 412);
        QCOMPARE(p.mean, 1000.0);
        QCOMPARE(p.cvPercent, 0.35); // derived from mean and sd, not stored
        QCOMPARE(p.driftPercentPerSecond, -0.125);
        QCOMPARE(p.attempts, 2);
        QCOMPARE(p.flags, QualityFlags(QualityFlag::Retried));
    }
    QVERIFY(deleteQualityRows(db, 7));
    QCOMPARE(storedVerdicts(db), QString());
    QCOMPARE(verdicts(readQualityRows(db, 8)), verdicts(quality));
}

// A register is given its identity and zone when made, or when a register older than them
// is first opened for writing; from then on they stay.
void TestSchema::registerGetsItsIdentityOnce() {
    FreshMainDatabase fresh;
    QSqlDatabase db = fresh.db.handle();
    const std::optional<QUuid> made = registerIdentity(db);
    QVERIFY(made && !made->isNull());
    QCOMPARE(registerTimeZone(db), seatTimeZone());
    QVERIFY(upgradeMainSchema(db));
    QCOMPARE(registerIdentity(db), made);

    QVERIFY(QSqlQuery(db).exec(u"DROP TABLE ORLUREG"_s));
    QCOMPARE(registerIdentity(db), std::nullopt);
    QVERIFY(upgradeMainSchema(db));
    const std::optional<QUuid> upgraded = registerIdentity(db);
    QVERIFY(upgraded && upgraded != made);
    QVERIFY(upgradeMainSchema(db));
    QCOMPARE(registerIdentity(db), upgraded);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "test_schema.moc"
