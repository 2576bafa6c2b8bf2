// The comparison set: capacity, duplicates, removal, the energy level of an entry, and
// what the comparison says of a change.
#include "compare/comparisonchanges.h"
#include "core/channels.h"
#include "core/numberformat.h"
#include "compare/comparisoncurves.h"
#include "compare/comparisonset.h"

#include <QTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

ComparisonEntry entry(qint64 key, const QString &number, double measuredAt, double reading = 50) {
    std::array<double, 24> readings;
    readings.fill(reading);
    return ComparisonEntry::fromReadings(key, number, u"受测者 "_s + number, measuredAt, false, readings);
}

QList<qint64> keys(const ComparisonSet &set) {
    QList<qint64> k;
    for (const ComparisonEntry &e : set.entries())
        k.append(e.measurementKey);
    return k;
}

} // namespace

class TestComparisonSet : public QObject {
    Q_OBJECT

private slots:
    // A change is never called beyond the scatter on readings that cannot bear it: the
    // comparison once reported "超出测量误差" for a record with 21 of 24 doubtful points.
    // The second record's first `measured` points read 150 against 50, the rest 0.
    void changesAreJudgedOnlyWhereReadingsBearIt_data() {
        QTest::addColumn<int>("measured");
        QTest::addColumn<int>("doubtful"); // the first ones
        QTest::addColumn<QString>("bodyVerdict");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("lastPoint");
        QTest::newRow("3 doubtful: still judged")
            << 24 << 3 << u"超出测量误差"_s << u"21/21 点的变化超出测量误差；3 点读数可疑或未测量，不作判断"_s
            << u"超出测量误差"_s;
        QTest::newRow("21 doubtful: says why")
            << 24 << 21 << u"无法判断: 多数读数可疑"_s
            << u"3/3 点的变化超出测量误差；21 点读数可疑或未测量，不作判断"_s << u"超出测量误差"_s;
        QTest::newRow("cut off after 5")
            << 5 << 0 << u"无法判断: 测量未完成"_s
            << u"5/5 点的变化超出测量误差；19 点读数可疑或未测量，不作判断"_s << u"无法判断: 未测量"_s;
    }
    void changesAreJudgedOnlyWhereReadingsBearIt() {
        QFETCH(int, measured);
        QFETCH(int, doubtful);
        ComparisonRecord first;
        first.corrected.fill(50);
        ComparisonRecord second;
        for (int c = 1; c <= measured; ++c) {
            second.corrected[size_t(c - 1)] = 150;
            second.quality[size_t(c - 1)] =
                PointQuality{.verdict = c <= doubtful ? QualityVerdict::Drifting : QualityVerdict::Steady};
        }
        const ComparisonChanges changes = comparisonChanges(first, second, ScatterModel());
        QTEST(changes.bodyEnergy.value(4), "bodyVerdict");
        QTEST(changes.points, "summary");
        QFETCH(QString, lastPoint);
        const QString last = changes.pointDetails.split(u'\n').last();
        QVERIFY2(last.contains(lastPoint), qPrintable(last));
    }

    void energyLevelIsTheCorrectedMean() {
        const ComparisonEntry e = entry(1, u"A1"_s, 46000);
        double factors = 0;
        for (int m = 1; m <= 12; ++m)
            factors += meridian(m).correctionFactor;
        QCOMPARE(e.energyLevel, 50 * factors / 12);
        QCOMPARE(formatFixed(e.energyLevel, 5, 2), u"50.57"_s);
        QCOMPARE(formatFixed(e.energyLevel, 7, 1), u"   50.6"_s);
        QCOMPARE(e.corrected[0], 50 * 0.8541);
    }

    void refusesTheSameMeasurementTwice() {
        ComparisonSet set;
        QCOMPARE(set.add(entry(7, u"A1"_s, 46000.5)), ComparisonSet::AddResult::Added);
        QCOMPARE(set.add(entry(7, u"A1"_s, 46000.5)), ComparisonSet::AddResult::Duplicate);
        QCOMPARE(set.size(), 1);
    }

    void twoMeasurementsOfOneMinuteAreTwoRecords() {
        // Same subject number, measured-at equal to the minute as shown: still two stored rows.
        ComparisonSet set;
        const double minute = 46000.5;
        QCOMPARE(set.add(entry(7, u"A1"_s, minute)), ComparisonSet::AddResult::Added);
        QCOMPARE(set.add(entry(8, u"A1"_s, minute + 10.0 / 86400)), ComparisonSet::AddResult::Added);
        QCOMPARE(set.add(entry(9, u"A1"_s, minute)), ComparisonSet::AddResult::Added);
        QCOMPARE(set.size(), 3);
    }

    void sixEntriesRefuseTheSeventh() {
        ComparisonSet set;
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(set.add(entry(k, u"A%1"_s.arg(k), 46000 + k)), ComparisonSet::AddResult::Added);
        QVERIFY(set.isFull());
        QCOMPARE(set.add(entry(99, u"Z9"_s, 47000)), ComparisonSet::AddResult::Full);
        // A duplicate in a full set is refused as a full set first.
        QCOMPARE(set.add(entry(3, u"A3"_s, 46003)), ComparisonSet::AddResult::Full);
        QCOMPARE(keys(set), (QList<qint64>{1, 2, 3, 4, 5, 6}));
    }

    void removingMovesTheLaterEntriesUp_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<qint64>>("left");
        QTest::newRow("first") << 0 << QList<qint64>{2, 3, 4};
        QTest::newRow("second of four") << 1 << QList<qint64>{1, 3, 4};
        QTest::newRow("last") << 3 << QList<qint64>{1, 2, 3};
        QTest::newRow("outside") << 4 << QList<qint64>{1, 2, 3, 4};
        QTest::newRow("negative") << -1 << QList<qint64>{1, 2, 3, 4};
    }
    void removingMovesTheLaterEntriesUp() {
        QFETCH(int, index);
        QFETCH(QList<qint64>, left);
        ComparisonSet set;
        for (int k = 1; k <= 4; ++k)
            set.add(entry(k, u"A%1"_s.arg(k), 46000 + k, 10.0 * k));
        QCOMPARE(set.remove(index), index >= 0 && index < 4);
        QCOMPARE(keys(set), left);
    }

    void removedEntriesTakeTheStylesOfTheirNewPlaces() {
        ComparisonSet set;
        for (int k = 1; k <= 4; ++k)
            set.add(entry(k, u"A%1"_s.arg(k), 46000 + k, 10.0 * k));
        set.remove(1);
        const ComparisonChart chart = multiRecordChart(set.entries(), std::nullopt);
        QCOMPARE(chart.curves.size(), 3);
        const QList<double> readings{10, 30, 40};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(chart.curves[i].number, i + 1);
            QCOMPARE(chart.curves[i].style.pen, multiRecordStyle(i + 1).pen);
            QCOMPARE(chart.curves[i].corrected[0], readings[i] * 0.8541);
        }
        QVERIFY(!chart.band);
    }
};

QTEST_GUILESS_MAIN(TestComparisonSet)
#include "test_comparisonset.moc"
