#include "measure/livedisplay.h"

#include "core/numberformat.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestLiveDisplay : public QObject {
    Q_OBJECT
private slots:
    void measuring_data();
    void measuring();
    void waitingShowsTheReadingOnly();
    void pointEnd_data();
    void pointEnd();
    void traceY_data();
    void traceY();
};

void TestLiveDisplay::measuring_data() {
    QTest::addColumn<int>("reading");
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<int>("calibration");
    QTest::addColumn<QString>("measured");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("bar");
    // A steady 40 uA at C = 4000 is 800 units; half-way through the point half shows.
    QTest::newRow("40 uA after 1.25 s") << 800 << 1250 << 4000 << u"20.00"_s << u"[ 40.0]"_s << 819;
    QTest::newRow("40 uA at the end") << 800 << 2500 << 4000 << u"40.00"_s << u"[ 40.0]"_s << 819;
    QTest::newRow("at contact") << 800 << 0 << 4000 << u" 0.00"_s << u"[ 40.0]"_s << 819;
    QTest::newRow("high calibration") << 800 << 2500 << 8000 << u"20.00"_s << u"[ 20.0]"_s << 409;
    QTest::newRow("full scale caps the bar") << 4095 << 2500 << 4000 << u"204.75"_s << u"[204.8]"_s << 4095;
}

void TestLiveDisplay::measuring() {
    QFETCH(int, reading);
    QFETCH(int, elapsed);
    QFETCH(int, calibration);
    QFETCH(QString, measured);
    QFETCH(QString, display);
    QFETCH(int, bar);
    const double factor = 1.2424;
    const LiveValues v = measuringValues(reading, quint32(elapsed), scaleOf(calibration), factor);
    QCOMPARE(formatFixed(v.measured, 5, 2), measured);
    QCOMPARE(valueDisplayText(v.display), display);
    QCOMPARE(v.valueBar, bar);
    QCOMPARE(v.pointProgress, elapsed);
    QVERIFY(qFuzzyCompare(1.0 + v.compensated, 1.0 + v.measured * factor));
}

void TestLiveDisplay::waitingShowsTheReadingOnly() {
    const LiveValues v = waitingValues(300, scaleOf(4000));
    QCOMPARE(v.measured, 15.0);
    QCOMPARE(v.compensated, 0.0);
    QCOMPARE(v.valueBar, 0);
    QCOMPARE(v.pointProgress, 0);
    QCOMPARE(valueDisplayText(v.display), u"[ 15.0]"_s);
}

void TestLiveDisplay::pointEnd_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("bar");
    QTest::newRow("100 uA") << 100.0 << 2048;
    QTest::newRow("truncated, not rounded") << 10.0 << 204;
    QTest::newRow("above 200 uA") << 204.75 << 4095;
}

void TestLiveDisplay::pointEnd() {
    QFETCH(double, value);
    QFETCH(int, bar);
    const LiveValues v = pointEndValues(value, value * 2);
    QCOMPARE(v.valueBar, bar);
    QCOMPARE(v.pointProgress, 2500);
    QCOMPARE(v.compensated, value * 2);
}

void TestLiveDisplay::traceY_data() {
    QTest::addColumn<int>("reading");
    QTest::addColumn<double>("baseline");
    QTest::addColumn<double>("y");
    QTest::newRow("at the baseline") << 500 << 500.0 << 400.0;
    QTest::newRow("10 uA above is one division up") << 700 << 500.0 << 300.0;
    QTest::newRow("5 uA below") << 400 << 500.0 << 450.0;
}

void TestLiveDisplay::traceY() {
    QFETCH(int, reading);
    QFETCH(double, baseline);
    QFETCH(double, y);
    QCOMPARE(orlu::traceY(reading, baseline, scaleOf(4000)), y);
}

QTEST_GUILESS_MAIN(TestLiveDisplay)
#include "test_livedisplay.moc"
