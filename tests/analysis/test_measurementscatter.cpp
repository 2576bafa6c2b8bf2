#include "analysis/measurementscatter.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

std::array<double, 24> all(double v) {
    std::array<double, 24> values{};
    values.fill(v);
    return values;
}

// `count` pairs of a subject measured at 100 and again at 110 at every point.
QList<RepeatPair> pairsOfTenPercent(int count) {
    return QList<RepeatPair>(count, RepeatPair{all(100), all(110)});
}

} // namespace

class TestMeasurementScatter : public QObject {
    Q_OBJECT
private slots:
    void changeCountsOnlyBeyondTheScatter_data();
    void changeCountsOnlyBeyondTheScatter();
    void changeIsLaterMinusEarlier_data();
    void changeIsLaterMinusEarlier();
};

void TestMeasurementScatter::changeCountsOnlyBeyondTheScatter_data() {
    QTest::addColumn<int>("pairs");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("second");
    QTest::addColumn<QString>("source");
    QTest::addColumn<double>("pointMdc");
    QTest::addColumn<bool>("pointWithin");
    QTest::addColumn<double>("bodyMdc");
    QTest::addColumn<bool>("bodyWithin");
    // Published figures: 1.96 x sqrt(2) x 23 % (points) or 12 % (body energy) x the mean.
    QTest::newRow("no pairs, small change")
        << 0 << 40.0 << 50.0 << u"文献值"_s << 28.688736326 << true << 14.968036344 << true;
    QTest::newRow("9 pairs are not enough")
        << 9 << 40.0 << 80.0 << u"文献值"_s << 38.251648435 << false << 19.957381792 << false;
    // Ten pairs 10 % apart: the practice's CV is that of 100 against 110, so the MDC of
    // two such values is 1.96 x their difference.
    QTest::newRow("10 pairs, change inside")
        << 10 << 100.0 << 110.0 << u"本机 10 对重复测量"_s << 19.6 << true << 19.6 << true;
    QTest::newRow("10 pairs, change beyond")
        << 10 << 100.0 << 125.0 << u"本机 10 对重复测量"_s << 21.0 << false << 21.0 << false;
}

void TestMeasurementScatter::changeCountsOnlyBeyondTheScatter() {
    QFETCH(int, pairs);
    QFETCH(double, first);
    QFETCH(double, second);
    QFETCH(double, pointMdc);
    QFETCH(double, bodyMdc);
    QList<RepeatPair> practice = pairsOfTenPercent(pairs);
    // A point unmeasured in a pair only leaves that point out.
    if (pairs > 0) {
        practice.first()[0][5] = 0;
        practice.first()[1][5] = 0;
    }
    const ScatterModel model = scatterModelOf(practice);
    QTEST(model.source(), "source");
    const MeasurementChanges changes = changesBetween(all(first), all(second), model);
    QVERIFY2(qAbs(changes.channels[3].mdc - pointMdc) < 1e-9,
             qPrintable(QString::number(changes.channels[3].mdc, 'g', 17)));
    QTEST(changes.channels[3].withinScatter, "pointWithin");
    QVERIFY2(qAbs(changes.bodyEnergy.mdc - bodyMdc) < 1e-9,
             qPrintable(QString::number(changes.bodyEnergy.mdc, 'g', 17)));
    QTEST(changes.bodyEnergy.withinScatter, "bodyWithin");
    QCOMPARE(changeText(changes.bodyEnergy),
             changes.bodyEnergy.withinScatter ? u"在测量误差范围内"_s : u"超出测量误差"_s);
}

// Readings of 40 taken at day 46000 against readings of 50 taken at `secondAt`.
void TestMeasurementScatter::changeIsLaterMinusEarlier_data() {
    QTest::addColumn<double>("secondAt");
    QTest::addColumn<double>("change");
    QTest::newRow("given in time order") << 46010.0 << 10.0;
    QTest::newRow("later one given first") << 45990.0 << -10.0;
    QTest::newRow("same moment: the given order") << 46000.0 << 10.0;
}

void TestMeasurementScatter::changeIsLaterMinusEarlier() {
    QFETCH(double, secondAt);
    QFETCH(double, change);
    const ChangeOverTime c = changeOverTime({46000, all(40)}, {secondAt, all(50)}, ScatterModel());
    QCOMPARE(c.firstIsLater, change < 0);
    QCOMPARE(c.laterBodyEnergy - c.earlierBodyEnergy, change);
    QCOMPARE(c.changes.bodyEnergy.difference, change);
    QCOMPARE(c.changes.channels[0].difference, change);
}

QTEST_GUILESS_MAIN(TestMeasurementScatter)
#include "test_measurementscatter.moc"
