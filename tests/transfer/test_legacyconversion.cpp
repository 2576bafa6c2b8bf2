#include "transfer/legacyconversion.h"

#include "recordfixture.h"
#include "transferfixture.h"

#include <QSqlQuery>
#include <QtTest>

#include <optional>
#include <sys/stat.h>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

int rowsOf(QSqlDatabase db, const QString &table, const QString &where = u"1"_s) {
    QSqlQuery q(db);
    q.exec(u"SELECT count(*) FROM %1 WHERE %2"_s.arg(table, where));
    return q.next() ? q.value(0).toInt() : -1;
}

struct Progress : TransferObserver {
    QList<double> seen;
    void progressed(double f) override { seen << f; }
};

} // namespace

class TestLegacyConversion : public QObject {
    Q_OBJECT
private slots:
    void init() { m_main = std::make_unique<RecordFixture>(); }
    void cleanup() { m_main.reset(); }

    void nothingToDoWithoutLegacyFile();
    void convertsSubjectsAndMeasurements();
    void conditionsWithoutAgeBounds();
    void replacesAnOlderBackup();
    void appendsToANonEmptyRegister();
    void failureKeepsEverything_data();
    void failureKeepsEverything();
    void takesInWhatTheWriteAheadLogHolds();

private:
    std::unique_ptr<RecordFixture> m_main;

    QString legacy() const { return m_main->home.file(u"orlu.mdb"_s); }
    LegacyConversionOutcome convert(TransferObserver *observer = nullptr) {
        return convertLegacyDatabase(m_main->database, ProgramFolder(m_main->home.path()), m_main->time,
                                     observer);
    }
    // A legacy file with 3 subjects and 10 measurements, keys starting at 100.
    void makeLegacy() {
        makeRegisterFile(legacy());
        OpenFile f(legacy());
        for (int s = 1; s <= 3; ++s)
            insertRow(f.db(), u"KYCUST"_s,
                      {{u"MKEY"_s, 100 + s},
                       {u"CUSTNO"_s, u"L%1"_s.arg(s)},
                       {u"NAME"_s, u"旧%1"_s.arg(s)},
                       {u"BTYPE"_s, u"A"_s},
                       {u"HEIGHT"_s, 170.5},
                       {u"CUSTFG"_s, u"fg"_s}});
        for (int m = 1; m <= 10; ++m)
            insertRow(f.db(), u"KYDATA"_s,
                      {{u"MKEY"_s, 100 + m},
                       {u"CUSTNO"_s, u"L%1"_s.arg(1 + m % 3)},
                       {u"KYDATE"_s, 40000.0 + m},
                       {u"KY24"_s, double(m)},
                       {u"AutoKey"_s, u"k%1"_s.arg(m)}});
    }
};

void TestLegacyConversion::nothingToDoWithoutLegacyFile() {
    const LegacyConversionOutcome o = convert();
    QVERIFY(!o.ran);
    QVERIFY(o.message.isEmpty());
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s), 0);
}

void TestLegacyConversion::convertsSubjectsAndMeasurements() {
    makeLegacy();
    Progress progress;
    const LegacyConversionOutcome o = convert(&progress);
    QVERIFY2(o.ok, qPrintable(o.message));
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s), 3);
    QCOMPARE(rowsOf(m_main->db(), u"KYDATA"_s), 10);
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s, u"MKEY > 100"_s), 0); // new keys
    QCOMPARE(rowsOf(m_main->db(), u"KYDATA"_s, u"MKEY > 100"_s), 0);
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s, u"BTYPE = 'A' AND HEIGHT = 170.5 AND CUSTFG = 'fg'"_s), 3);
    QCOMPARE(rowsOf(m_main->db(), u"KYDATA"_s, u"AutoKey = 'k7' AND KY24 = 7 AND KYDATE = 40007"_s), 1);
    QVERIFY(!QFile::exists(legacy()));
    QVERIFY(QFile::exists(m_main->home.file(u"orlu_BAK.mdb"_s)));
    QVERIFY(QFile::exists(m_main->home.file(o.backupFile)));
    QVERIFY(o.message.contains(o.backupFile));
    QVERIFY(!progress.seen.isEmpty());
    QCOMPARE(progress.seen.last(), 1.0);
    QVERIFY(std::is_sorted(progress.seen.cbegin(), progress.seen.cend()));
    // A second start finds nothing left to convert.
    QVERIFY(!convert().ran);
    QCOMPARE(rowsOf(m_main->db(), u"KYDATA"_s), 10);
}

void TestLegacyConversion::conditionsWithoutAgeBounds() {
    {
        OpenFile f(legacy());
        f.exec(u"CREATE TABLE KYCUST (CUSTNO TEXT, NAME TEXT, SEX BOOLEAN, DBIRTH REAL, ADDR TEXT, TEL TEXT, "
               u"TEL2 TEXT, TEL3 TEXT, EMAIL TEXT, MEMO TEXT, BTYPE TEXT, HEIGHT REAL, WEIGHT REAL, CUSTCAT "
               u"TEXT, "
               u"CUSTFG TEXT, PrtFG BOOLEAN)"_s);
        QString kydata =
            u"CREATE TABLE KYDATA (CUSTNO TEXT, KYDATE REAL, KYVOTA BOOLEAN, MEMO1 TEXT, MEMO2 TEXT, "
            u"AutoKey TEXT, PrtFG BOOLEAN"_s;
        for (int c = 1; c <= 24; ++c)
            kydata += u", KY%1 REAL"_s.arg(c);
        f.exec(kydata + u')');
        f.exec(u"CREATE TABLE KYPRO (ProNo TEXT, ProName TEXT, ProData TEXT, ProPict BLOB, ProScal BOOLEAN, "
               u"PrtFG BOOLEAN)"_s);
        f.exec(u"CREATE TABLE KYPRDT (ProNo TEXT, ProSubN TEXT, ProNote TEXT, ProCond TEXT, ProAnd TEXT, "
               u"ProEng REAL, ProFlg BOOLEAN, PrtFG BOOLEAN)"_s);
        insertRow(f.db(), u"KYPRO"_s, {{u"ProNo"_s, u"P1"_s}, {u"ProName"_s, u"旧"_s}});
        insertRow(f.db(), u"KYPRDT"_s,
                  {{u"ProNo"_s, u"P1"_s},
                   {u"ProSubN"_s, u"c1"_s},
                   {u"ProEng"_s, 33.0},
                   {u"ProFlg"_s, 1},
                   {u"PrtFG"_s, 1}});
    }
    const LegacyConversionOutcome o = convert();
    QVERIFY2(o.ok, qPrintable(o.message));
    QSqlQuery q(m_main->db());
    QVERIFY(q.exec(u"SELECT ProAGL, ProAGH, ProEng, ProFlg, PrtFG FROM KYPRDT"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    QCOMPARE(q.value(1).toInt(), 0);
    QCOMPARE(q.value(2).toDouble(), 33.0);
    QCOMPARE(q.value(3).toInt(), 1);
    QCOMPARE(q.value(4).toInt(), 1);
    QVERIFY(q.exec(u"SELECT ProFN, ProScrp1, ProParm4 FROM KYPRO"_s) && q.next());
    QVERIFY(q.value(0).isNull() && q.value(1).isNull() && q.value(2).isNull());
}

void TestLegacyConversion::replacesAnOlderBackup() {
    m_main->home.writeFile(u"orlu_BAK.mdb"_s, "an earlier conversion's file");
    makeLegacy();
    const QByteArray converted = m_main->home.readFile(u"orlu.mdb"_s);
    QVERIFY(convert().ok);
    QCOMPARE(m_main->home.readFile(u"orlu_BAK.mdb"_s), converted);
}

void TestLegacyConversion::appendsToANonEmptyRegister() {
    m_main->addSubject(u"L1"_s, u"已有"_s);
    m_main->addMeasurement(u"L1"_s, 45000.0);
    makeLegacy();
    QVERIFY(convert().ok);
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s), 4);
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s, u"CUSTNO = 'L1'"_s), 2); // the same number twice
    QCOMPARE(rowsOf(m_main->db(), u"KYDATA"_s), 11);
}

void TestLegacyConversion::failureKeepsEverything_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("cause"); // what the message names, besides the file
    QTest::newRow("not a database") << u"garbage"_s << QString();
    QTest::newRow("a table missing") << u"DROP TABLE KYPRO"_s << u"KYPRO"_s;
    QTest::newRow("a required column missing") << u"ALTER TABLE KYDATA DROP COLUMN KYVOTA"_s << u"KYVOTA"_s;
    QTest::newRow("a row the register refuses")
        << u"UPDATE KYCUST SET NAME = printf('%.60c', 'x') WHERE CUSTNO = 'L3'"_s << QString();
    QTest::newRow("an infinite reading") << u"UPDATE KYDATA SET KY9 = 9e999 WHERE KY24 = 7"_s << u"KY9"_s;
    QTest::newRow("a negative reading") << u"UPDATE KYDATA SET KY1 = -0.5 WHERE KY24 = 2"_s << u"KY1"_s;
    QTest::newRow("Access file cut short") << u"jet:truncated-v2000.mdb"_s << u"档案已损坏"_s;
    QTest::newRow("Access file with a text reading") << u"jet:text-reading-v2000.mdb"_s << u"KY7"_s;
    QTest::newRow("Access readings above the bound") << u"jet:normal-v2000.mdb"_s << u"ORLU-0000000001"_s;
    QTest::newRow("a pipe") << u"fifo"_s << u"不是一般的档案"_s;
    QTest::newRow("Access reader crashing")
        << u"crash:normal-v2000.mdb"_s << u"档案已损坏 !! (the Access reader crashed"_s;
}

void TestLegacyConversion::failureKeepsEverything() {
    QFETCH(QString, fault);
    QFETCH(QString, cause);
    m_main->addSubject(u"K1"_s, u"已有"_s);
    std::optional<FakeJetReader> crashing;
    if (fault.startsWith(u"crash:"_s)) {
        crashing.emplace("kill -SEGV $$");
        fault = u"jet:"_s + fault.mid(6);
    }
    if (fault == u"garbage"_s) {
        m_main->home.writeFile(u"orlu.mdb"_s, "Standard Jet DB? no, just bytes");
    } else if (fault.startsWith(u"jet:"_s)) {
        QVERIFY(QFile::copy(qEnvironmentVariable("ORLU_TEST_DATA") + u"/data/"_s + fault.mid(4), legacy()));
    } else if (fault == u"fifo"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(legacy()).constData(), 0600), 0);
    } else {
        makeLegacy();
        OpenFile file(legacy());
        file.exec(u"PRAGMA ignore_check_constraints=ON"_s); // files of other programs know no such checks
        file.exec(fault);
    }
    const bool pipe = fault == u"fifo"_s;
    const QByteArray legacyBytes = pipe ? QByteArray() : m_main->home.readFile(u"orlu.mdb"_s);
    const QString before = registerDigest(m_main->db());
    const LegacyConversionOutcome o = convert();
    QVERIFY(o.ran);
    QVERIFY(!o.ok);
    QVERIFY2(o.message.contains(u"orlu.mdb 保留原名"_s), qPrintable(o.message));
    QVERIFY2(o.message.contains(cause), qPrintable(o.message));
    QCOMPARE(registerDigest(m_main->db()), before);
    if (!pipe)
        QCOMPARE(m_main->home.readFile(u"orlu.mdb"_s), legacyBytes);
    QVERIFY(!QFile::exists(m_main->home.file(u"orlu_BAK.mdb"_s)));
}

void TestLegacyConversion::takesInWhatTheWriteAheadLogHolds() {
    // An earlier installation stopped with rows in the log beside its file.
    const QString written = m_main->home.file(u"written.mdb"_s);
    makeRegisterFile(written);
    {
        OpenFile f(written);
        f.exec(u"PRAGMA journal_mode=WAL"_s);
        f.exec(u"PRAGMA wal_autocheckpoint=0"_s);
        insertRow(f.db(), u"KYCUST"_s, {{u"CUSTNO"_s, u"W1"_s}});
        for (int m = 1; m <= 20; ++m)
            insertRow(f.db(), u"KYDATA"_s, {{u"CUSTNO"_s, u"W1"_s}, {u"KYDATE"_s, 45000.0 + m}});
        QVERIFY(QFile::copy(written, legacy()));
        QVERIFY(QFile::copy(written + u"-wal"_s, legacy() + u"-wal"_s));
    }
    QVERIFY(QFileInfo(legacy() + u"-wal"_s).size() > 0);
    const LegacyConversionOutcome o = convert();
    QVERIFY2(o.ok, qPrintable(o.message));
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s), 1);
    QCOMPARE(rowsOf(m_main->db(), u"KYDATA"_s), 20);
}

QTEST_GUILESS_MAIN(TestLegacyConversion)
#include "test_legacyconversion.moc"
