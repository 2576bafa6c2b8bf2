#include "core/channels.h"
#include "quality/verdicts.h"
#include "recordfixture.h"
#include "records/measurementrepository.h"
#include "storage/qualityrows.h"
#include "storage/registeridentity.h"
#include "records/recordtransfer.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestRecordTransfer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { test::addBackendRows(); }
    void init() { ORLU_USE_BACKEND_OF_ROW(); }
    void storesPlainValuesAndTakesTheKey();
    void storingTwiceAppendsTwoRows();
    void failedStoreLeavesTheCurrentMeasurement();
    void loadFillsEverythingAndResets();
    void comparisonHoldsCorrectedValuesAndPlainAverage_data();
    void comparisonHoldsCorrectedValuesAndPlainAverage();
    void deletingTheCurrentRowClearsTheKey_data();
    void deletingTheCurrentRowClearsTheKey();
    void updateRewritesAMeasurement();
    void qualityTravelsWithItsRow();
    void originIsStoredBesideItsRow();
    void repeatPairsAreSuccessiveMeasurementsWithinHalfAnHour();
    void treatmentRecordIsWritten_data();
    void treatmentRecordIsWritten();
};

namespace {

CurrentMeasurement measured() {
    CurrentMeasurement m;
    std::array<double, 24> v{};
    for (int c = 1; c <= 24; ++c)
        v[size_t(c - 1)] = 10.0 + c;
    m.setAllValues(v);
    m.measuredAt = 46000.75;
    m.highPotential = true;
    m.memo = {u"头痛"_s, u"失眠"_s};
    return m;
}

} // namespace

void TestRecordTransfer::storesPlainValuesAndTakesTheKey() {
    test::RecordFixture f;
    MeasurementRepository repo(f.db());
    CurrentMeasurement m = measured();
    const Subject s = test::subjectOf(u"A7"_s, u"王"_s);
    const qint64 key = storeCurrentMeasurement(repo, m, s);
    QVERIFY(key > 0);
    QCOMPARE(m.recordKey, key);
    QCOMPARE(m.subject.number, u"A7"_s);
    const auto row = repo.fetch(key);
    QCOMPARE(row->subjectNumber, u"A7"_s);
    QCOMPARE(row->measuredAt, 46000.75);
    QCOMPARE(row->highPotential, true);
    QCOMPARE(row->memo, u"头痛\r\n失眠"_s);
    // The stored readings are the measured ones, not the corrected ones.
    for (int c = 1; c <= 24; ++c)
        QCOMPARE(row->values[size_t(c - 1)], 10.0 + c);
    QVERIFY(m.corrected[0] != m.values[0]);
    QCOMPARE(f.rows(u"KYDATA"_s, u"MEMO2 IS NOT NULL OR AutoKey IS NOT NULL OR PrtFG"_s), 0);
}

void TestRecordTransfer::storingTwiceAppendsTwoRows() {
    test::RecordFixture f;
    MeasurementRepository repo(f.db());
    CurrentMeasurement m = measured();
    const qint64 first = storeCurrentMeasurement(repo, m, test::subjectOf(u"A7"_s));
    const qint64 second = storeCurrentMeasurement(repo, m, test::subjectOf(u"A7"_s));
    QVERIFY(second > first);
    QCOMPARE(m.recordKey, second);
    QCOMPARE(repo.countOf(u"a7"_s), 2);
}

void TestRecordTransfer::failedStoreLeavesTheCurrentMeasurement() {
    test::RecordFixture f;
    MeasurementRepository repo(f.db());
    CurrentMeasurement m = measured();
    m.recordKey = 5;
    m.subject.number = u"OLD"_s;
    f.failOn(u"BEFORE INSERT ON KYDATA"_s);
    QString error;
    QCOMPARE(storeCurrentMeasurement(repo, m, test::subjectOf(u"NEW"_s), &error), 0);
    QVERIFY(!error.isEmpty());
    QCOMPARE(m.recordKey, 5);
    QCOMPARE(m.subject.number, u"OLD"_s);
    QCOMPARE(f.rows(u"KYDATA"_s), 0);
}

void TestRecordTransfer::loadFillsEverythingAndResets() {
    test::RecordFixture f;
    MeasurementRepository repo(f.db());
    const qint64 key = f.addMeasurement(u"L1"_s, 45123.5, 30.0, true, u"一\r\n二"_s);
    CurrentMeasurement m;
    m.pointsSinceCounterUpdate = 9;
    const Subject s{u"L1"_s, u"李"_s, false, 30000, u"addr"_s, u"t1"_s, u"t2"_s, u"t3"_s, u"e"_s};
    loadIntoCurrent(m, s, *repo.fetch(key));
    QCOMPARE(m.subject.email, u"e"_s);
    QCOMPARE(m.subject.male, false);
    QCOMPARE(m.measuredAt, 45123.5);
    QCOMPARE(m.highPotential, true);
    QCOMPARE(m.memo, (QStringList{u"一"_s, u"二"_s}));
    QCOMPARE(m.recordKey, key);
    QCOMPARE(m.measurementsBegun, 1u);
    QCOMPARE(m.readingsTaken, 1u);
    QCOMPARE(m.pointsSinceCounterUpdate, 0);
    for (int c = 1; c <= 24; ++c) {
        QCOMPARE(m.value(c), 30.0 + c / 10.0);
        QCOMPARE(m.correctedValue(c), correctedValue(c, 30.0 + c / 10.0));
    }
}

void TestRecordTransfer::comparisonHoldsCorrectedValuesAndPlainAverage_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("average");
    QTest::addColumn<double>("leftLung");
    QTest::newRow("all 10.0") << 10.0 << 10.0 << 8.541;
    QTest::newRow("all 0") << 0.0 << 0.0 << 0.0;
}

void TestRecordTransfer::comparisonHoldsCorrectedValuesAndPlainAverage() {
    QFETCH(double, value);
    QFETCH(double, average);
    QFETCH(double, leftLung);
    MeasurementRecord row;
    row.values.fill(value);
    row.measuredAt = 45000.5;
    row.highPotential = true;
    const ComparisonRecord c = comparisonRecordOf(test::subjectOf(u"C1"_s, u"陈"_s), row);
    QCOMPARE(c.subjectNumber, u"C1"_s);
    QCOMPARE(c.subjectName, u"陈"_s);
    QCOMPARE(c.measuredAt, 45000.5);
    QVERIFY(c.highPotential);
    QVERIFY(c.loaded);
    QCOMPARE(c.average, average);
    QVERIFY(qAbs(c.corrected[0] - leftLung) < 1e-9);
}

void TestRecordTransfer::deletingTheCurrentRowClearsTheKey_data() {
    QTest::addColumn<bool>("current");
    QTest::newRow("the current measurement's row") << true;
    QTest::newRow("another row") << false;
}

void TestRecordTransfer::deletingTheCurrentRowClearsTheKey() {
    QFETCH(bool, current);
    test::RecordFixture f;
    MeasurementRepository repo(f.db());
    const qint64 a = f.addMeasurement(u"A"_s, 45000);
    const qint64 b = f.addMeasurement(u"A"_s, 45001);
    CurrentMeasurement m = measured();
    m.recordKey = current ? a : b;
    QVERIFY(deleteMeasurement(repo, m, a));
    QCOMPARE(m.recordKey, current ? 0 : b);
    QCOMPARE(m.value(1), 11.0);
    QVERIFY(!repo.fetch(a));
    // A row that is gone cannot be deleted twice, and the key of the survivor stays.
    m.recordKey = b;
    QVERIFY(!deleteMeasurement(repo, m, a));
    QCOMPARE(m.recordKey, b);
}

void TestRecordTransfer::updateRewritesAMeasurement() {
    test::RecordFixture f;
    MeasurementRepository repo(f.db());
    const qint64 key = f.addMeasurement(u"U"_s, 45000, 10.0);
    MeasurementRecord r = *repo.fetch(key);
    r.values.fill(55.5);
    r.measuredAt = 0;
    r.highPotential = true;
    r.memo = u"改"_s;
    r.subjectNumber = u"other"_s;
    QVERIFY(repo.update(r));
    const auto back = repo.fetch(key);
    QCOMPARE(back->values[23], 55.5);
    QCOMPARE(back->measuredAt, 0.0);
    QCOMPARE(back->memo, u"改"_s);
    QCOMPARE(back->subjectNumber, u"U"_s);
}

void TestRecordTransfer::qualityTravelsWithItsRow() {
    test::RecordFixture f;
    MeasurementRepository repo(f.db());
    CurrentMeasurement m = measured();
    PointQuality drifting;
    drifting.samples = 412;
    drifting.mean = 1000.25;
    drifting.sd = 12.5;
    drifting.cvPercent = 100.0 * 12.5 / 1000.25;
    drifting.driftPercentPerSecond = -14.125;
    drifting.settlingPercent = 30.5;
    drifting.attempts = 2;
    drifting.flags = QualityFlag::Retried;
    drifting.verdict = QualityVerdict::Drifting;
    m.setPointQuality(14, drifting);
    m.setPointQuality(3, PointQuality{.samples = 400, .mean = 900, .verdict = QualityVerdict::Steady});
    const qint64 key = storeCurrentMeasurement(repo, m, test::subjectOf(u"Q"_s, u"质"_s));
    QVERIFY(key > 0);

    CurrentMeasurement loaded;
    loadIntoCurrent(loaded, test::subjectOf(u"Q"_s, u"质"_s), *repo.fetch(key));
    QCOMPARE(qualitySummary(loaded.quality), u"测量质量: 1/24 稳定；可疑: 左肝经 (漂移)"_s);
    const PointQuality back = *loaded.pointQuality(14);
    QCOMPARE(back.samples, 412);
    QCOMPARE(back.mean, 1000.25);
    QCOMPARE(back.cvPercent, drifting.cvPercent);
    QCOMPARE(back.driftPercentPerSecond, -14.125);
    QCOMPARE(back.settlingPercent, 30.5);
    QCOMPARE(back.attempts, 2);
    QCOMPARE(back.flags, QualityFlags(QualityFlag::Retried));
    QVERIFY(!loaded.pointQuality(1));

    // Values written by hand have no measured quality; a deleted row leaves no quality behind.
    QVERIFY(repo.update(*repo.fetch(key)));
    QVERIFY(qualitySummary(repo.fetch(key)->quality).isEmpty());
    const qint64 second = storeCurrentMeasurement(repo, m, test::subjectOf(u"Q"_s, u"质"_s));
    QVERIFY(repo.remove(second));
    QSqlQuery q(f.db());
    QVERIFY(q.exec(u"SELECT count(*) FROM KYQUAL"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), 0);

    // The row is stored with its quality or not at all.
    QVERIFY(q.exec(u"DROP TABLE KYQUAL"_s));
    const int rows = repo.countAll();
    QString error;
    CurrentMeasurement again = m;
    QCOMPARE(storeCurrentMeasurement(repo, again, test::subjectOf(u"Q"_s, u"质"_s), &error), 0);
    QVERIFY(!error.isEmpty());
    QCOMPARE(repo.countAll(), rows);
}

// A stored measurement keeps the zone of the seat and the probe that took it; a deleted one
// leaves nothing.
void TestRecordTransfer::originIsStoredBesideItsRow() {
    test::RecordFixture f;
    MeasurementRepository repo(f.db());
    CurrentMeasurement m = measured();
    m.origin = {QString(), u"QX0001"_s, u"Rev 1"_s};
    const qint64 key = storeCurrentMeasurement(repo, m, test::subjectOf(u"Q"_s, u"质"_s));
    QSqlQuery q(f.db());
    QVERIFY(q.exec(u"SELECT MKEY, TZ, PROBESN, PROBEHW FROM KYORIGIN"_s) && q.next());
    QCOMPARE(q.value(0).toLongLong(), key);
    QCOMPARE(q.value(1).toString(), seatTimeZone());
    QCOMPARE(q.value(2).toString() + u' ' + q.value(3).toString(), u"QX0001 Rev 1"_s);
    QVERIFY(repo.remove(key));
    QVERIFY(q.exec(u"SELECT count(*) FROM KYORIGIN"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
}

void TestRecordTransfer::repeatPairsAreSuccessiveMeasurementsWithinHalfAnHour() {
    test::RecordFixture f;
    const double minute = 1.0 / (24 * 60);
    const double t0 = 46000.25;
    f.addMeasurement(u"A"_s, t0, 10.0);
    f.addMeasurement(u"a"_s, t0 + 10 * minute, 20.0);      // the same subject: a pair
    f.addMeasurement(u"A"_s, t0 + 5 * minute, 30.0, true); // High: a mode of its own
    f.addMeasurement(u"A"_s, t0 + 45 * minute, 40.0);      // 35 minutes after the last
    f.addMeasurement(u"A"_s, t0 + 75 * minute, 50.0);      // 30 minutes after: a pair
    f.addMeasurement(u"B"_s, t0 + 1 * minute, 60.0);
    QString error;
    const auto pairs = MeasurementRepository(f.db()).repeatPairs(30, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QList<std::pair<double, double>> firstReadings;
    for (const auto &p : pairs)
        firstReadings << std::pair{std::round(p[0][0]), std::round(p[1][0])};
    std::sort(firstReadings.begin(), firstReadings.end());
    QCOMPARE(firstReadings, (QList<std::pair<double, double>>{{10, 20}, {40, 50}}));
}

// The analysis window's treatment record goes into MEMO1 of the stored row, never as NULL.
void TestRecordTransfer::treatmentRecordIsWritten_data() {
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("outcome");
    using W = MeasurementRepository::MemoWrite;
    QTest::newRow("two lines") << true << QStringList{u"一"_s, u"二"_s} << u"一\r\n二"_s << int(W::Written);
    QTest::newRow("emptied") << true << QStringList{} << u""_s << int(W::Written);
    QTest::newRow("row gone") << false << QStringList{u"x"_s} << QString() << int(W::NoRecord);
}

void TestRecordTransfer::treatmentRecordIsWritten() {
    QFETCH(bool, stored);
    QFETCH(QStringList, lines);
    QFETCH(QString, memo);
    QFETCH(int, outcome);
    test::RecordFixture f;
    MeasurementRepository repo(f.db());
    const qint64 key = stored ? f.addMeasurement(u"M1"_s, 45000.5, 20.0, false, u"old"_s) : 999;
    QString error;
    QCOMPARE(int(repo.writeMemo(key, lines, &error)), outcome);
    if (!stored)
        return;
    QSqlQuery q(f.db());
    q.prepare(u"SELECT MEMO1 FROM KYDATA WHERE MKEY = ?"_s);
    q.addBindValue(key);
    QVERIFY(q.exec() && q.next());
    QVERIFY(!q.value(0).isNull());
    QCOMPARE(q.value(0).toString(), memo);
}

QTEST_GUILESS_MAIN(TestRecordTransfer)
#include "test_recordtransfer.moc"
