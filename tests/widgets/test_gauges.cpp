#include "widgets/needlegauge.h"
#include "widgets/segmentedbarmeter.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// The colour drawn at a distance `share` of the radius from the hub, at an angle.
QColor dialColourAt(const QImage &image, const NeedleGauge &g, double deg, double share) {
    // Mirrors the dial's geometry: centre at the bottom of the dial area, radius to the nearer edge.
    QFont small = g.font();
    small.setPixelSize(qBound(8, g.height() / 7, 13));
    const double line = QFontMetricsF(small).height();
    const QRectF area = QRectF(g.rect()).adjusted(2, 2, -2, -2);
    const double bottom = area.bottom() - line;
    const double radius = qMin(area.width() / 2.0 - 1.0, bottom - area.top());
    const double a = deg * M_PI / 180.0;
    const QPoint p(qRound(area.center().x() + share * radius * std::cos(a)),
                   qRound(bottom - share * radius * std::sin(a)));
    return image.pixelColor(p);
}

} // namespace

class TestGauges : public QObject {
    Q_OBJECT
private slots:
    void needleFollowsTheValueWithinTheRange_data();
    void needleFollowsTheValueWithinTheRange();
    void bandRunsFromZeroToTheValue();
    void valueTextAndRangeEnds();
    void meterLightsSegmentsUpToTheValue_data();
    void meterLightsSegmentsUpToTheValue();
    void meterZones_data();
    void meterZones();
    void meterPaintsLitAndDarkSegments();
};

void TestGauges::needleFollowsTheValueWithinTheRange_data() {
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("angle");
    QTest::newRow("minimum") << 0.0 << 180.0 << 0.0 << 180.0;
    QTest::newRow("middle") << 0.0 << 180.0 << 90.0 << 90.0;
    QTest::newRow("maximum") << 0.0 << 20.0 << 20.0 << 0.0;
    // A ratio gauge keeps the needle at its end for a value past it.
    QTest::newRow("past the end") << 0.0 << 20.0 << 35.0 << 0.0;
    QTest::newRow("below the start") << 0.0 << 100.0 << -4.0 << 180.0;
    QTest::newRow("balance zero") << -20.0 << 20.0 << 0.0 << 90.0;
    QTest::newRow("balance negative") << -10.0 << 10.0 << -5.0 << 135.0;
}

void TestGauges::needleFollowsTheValueWithinTheRange() {
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);
    QFETCH(double, angle);
    NeedleGauge g(minimum, maximum);
    QSignalSpy changed(&g, &NeedleGauge::valueChanged);
    g.setValue(value);
    QCOMPARE(g.value(), value);
    QCOMPARE(g.shownValue(), qBound(minimum, value, maximum));
    QCOMPARE(g.needleAngle(), angle);
    QCOMPARE(changed.size(), value == 0.0 ? 0 : 1);
}

void TestGauges::bandRunsFromZeroToTheValue() {
    NeedleGauge g(0, 100);
    g.resize(160, 100);
    g.setColour(QColor(255, 0, 0));
    g.setValue(50);
    QImage image = g.grab().toImage();
    // Inside the band: red before the needle, grey after it.
    QCOMPARE(dialColourAt(image, g, 150, 0.85), QColor(255, 0, 0));
    QVERIFY(dialColourAt(image, g, 30, 0.85) != QColor(255, 0, 0));

    // A balance gauge colours from its zero, on the side of the value.
    NeedleGauge balance(-20, 20);
    balance.resize(160, 100);
    balance.setColour(QColor(0, 128, 0));
    balance.setValue(-10);
    image = balance.grab().toImage();
    QCOMPARE(dialColourAt(image, balance, 112, 0.85), QColor(0, 128, 0));
    QVERIFY(dialColourAt(image, balance, 160, 0.85) != QColor(0, 128, 0));
    QVERIFY(dialColourAt(image, balance, 60, 0.85) != QColor(0, 128, 0));
}

void TestGauges::valueTextAndRangeEnds() {
    NeedleGauge g(-10, 10);
    g.setDecimals(2);
    g.setUnit(u"%"_s);
    g.setValue(4.8828);
    QCOMPARE(g.valueText(), u"4.88%"_s);
    g.setValue(-0.001);
    QCOMPARE(g.valueText(), u"0.00%"_s);
    QCOMPARE(g.markStep(), 4.0);
    g.setMarkStep(2.5);
    QCOMPARE(g.markStep(), 2.5);
    // An empty range would divide by zero; it becomes one unit wide.
    g.setRange(5, 5);
    QCOMPARE(g.maximum(), 6.0);
}

void TestGauges::meterLightsSegmentsUpToTheValue_data() {
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("segments");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("lit");
    QTest::newRow("empty") << 2000 << 20 << 0 << 0;
    QTest::newRow("one unit lights the first") << 2000 << 20 << 1 << 1;
    QTest::newRow("exactly one segment") << 2000 << 20 << 100 << 1;
    QTest::newRow("just past it") << 2000 << 20 << 101 << 2;
    QTest::newRow("full") << 2000 << 20 << 2000 << 20;
    QTest::newRow("past the end") << 2000 << 20 << 2047 << 20;
    QTest::newRow("negative") << 2000 << 20 << -5 << 0;
}

void TestGauges::meterLightsSegmentsUpToTheValue() {
    QFETCH(int, maximum);
    QFETCH(int, segments);
    QFETCH(int, value);
    QFETCH(int, lit);
    SegmentedBarMeter m;
    m.setRange(0, maximum);
    m.setSegmentCount(segments);
    m.setValue(value);
    QCOMPARE(m.value(), qBound(0, value, maximum));
    QCOMPARE(m.litSegments(), lit);
}

void TestGauges::meterZones_data() {
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("yellow");
    QTest::addColumn<QList<int>>("zones"); // 0 green, 1 yellow, 2 red, per segment
    // The locating meter: 80 %, 15 %, 5 % of its range.
    QTest::newRow("80-15-5") << 500 << 80 << 15
                             << QList<int>({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 2});
    QTest::newRow("all green") << 100 << 100 << 0 << QList<int>(20, 0);
    QTest::newRow("shares past 100") << 100 << 90 << 50 << QList<int>({0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                                       0, 0, 0, 0, 0, 0, 0, 0, 1, 1});
}

void TestGauges::meterZones() {
    QFETCH(int, maximum);
    QFETCH(int, green);
    QFETCH(int, yellow);
    QFETCH(QList<int>, zones);
    SegmentedBarMeter m;
    m.setRange(0, maximum);
    m.setSegmentCount(20);
    m.setZonePercents(green, yellow);
    QList<int> seen;
    for (int i = 0; i < m.segmentCount(); ++i)
        seen << static_cast<int>(m.zoneOf(i));
    QCOMPARE(seen, zones);
}

void TestGauges::meterPaintsLitAndDarkSegments() {
    SegmentedBarMeter m;
    m.setRange(0, 100);
    m.setSegmentCount(10);
    m.setZonePercents(60, 30);
    m.resize(204, 16);
    m.setValue(75);
    const QImage image = m.grab().toImage();
    auto middleOf = [&](int segment) { return image.pixelColor(2 + segment * 20 + 8, 8); };
    using Z = SegmentedBarMeter::Zone;
    QCOMPARE(middleOf(0), SegmentedBarMeter::zoneColour(Z::Green, true));
    QCOMPARE(middleOf(7), SegmentedBarMeter::zoneColour(Z::Yellow, true));
    QCOMPARE(middleOf(8), SegmentedBarMeter::zoneColour(Z::Yellow, false));
    QCOMPARE(middleOf(9), SegmentedBarMeter::zoneColour(Z::Red, false));
}

QTEST_MAIN(TestGauges)
#include "test_gauges.moc"
