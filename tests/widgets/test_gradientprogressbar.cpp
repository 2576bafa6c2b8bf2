#include "widgets/gradientprogressbar.h"

#include <QImage>
#include <QSignalSpy>
#include <QtTest>

namespace orlu {

class TestGradientProgressBar : public QObject {
    Q_OBJECT

private slots:
    void clampsToRange_data();
    void clampsToRange();
    void narrowingRangeClampsValue();
    void fillFollowsValue_data();
    void fillFollowsValue();
};

void TestGradientProgressBar::clampsToRange_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("shown");
    QTest::addColumn<double>("fraction");
    QTest::newRow("below") << -5 << 0 << 0.0;
    QTest::newRow("inside") << 650 << 650 << 0.5;
    QTest::newRow("top") << 1300 << 1300 << 1.0;
    QTest::newRow("above") << 5000 << 1300 << 1.0;
}

void TestGradientProgressBar::clampsToRange() {
    QFETCH(int, value);
    QFETCH(int, shown);
    QFETCH(double, fraction);
    GradientProgressBar bar;
    bar.setRange(0, 1300);
    bar.setValue(value);
    QCOMPARE(bar.value(), shown);
    QCOMPARE(bar.fraction(), fraction);
}

void TestGradientProgressBar::narrowingRangeClampsValue() {
    GradientProgressBar bar;
    bar.setRange(0, 2600);
    bar.setValue(2000);
    QSignalSpy changed(&bar, &GradientProgressBar::valueChanged);
    bar.setRange(0, 1300);
    QCOMPARE(bar.value(), 1300);
    QCOMPARE(changed.size(), 1);
    bar.setRange(10, 5); // an inverted range collapses to its minimum
    QCOMPARE(bar.maximum(), 10);
    QCOMPARE(bar.fraction(), 0.0);
}

void TestGradientProgressBar::fillFollowsValue_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("quarterFilled");
    QTest::addColumn<bool>("threeQuartersFilled");
    QTest::newRow("empty") << 0 << false << false;
    QTest::newRow("half") << 50 << true << false;
    QTest::newRow("full") << 100 << true << true;
}

void TestGradientProgressBar::fillFollowsValue() {
    QFETCH(int, value);
    QFETCH(bool, quarterFilled);
    QFETCH(bool, threeQuartersFilled);
    GradientProgressBar bar;
    bar.setColors(QColor(255, 0, 0), QColor(0, 0, 255));
    bar.resize(200, 18);
    bar.setValue(value);
    QImage image(bar.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    bar.render(&image);
    const QColor quarter = image.pixelColor(50, 9);
    const QColor threeQuarters = image.pixelColor(150, 9);
    auto filled = [](const QColor &c) { return c.green() < 50; };
    QCOMPARE(filled(quarter), quarterFilled);
    QCOMPARE(filled(threeQuarters), threeQuartersFilled);
    // The colour marks the position along the bar: reddish early, bluish late.
    if (quarterFilled)
        QVERIFY(quarter.red() > quarter.blue());
    if (threeQuartersFilled)
        QVERIFY(threeQuarters.blue() > threeQuarters.red());
}

} // namespace orlu

QTEST_MAIN(orlu::TestGradientProgressBar)
#include "test_gradientprogressbar.moc"
