#include "support/virtualtime.h"
#include "widgets/ledlamp.h"

#include <QImage>
#include <QtTest>

using orlu::test::VirtualTime;

namespace orlu {

class TestLedLamp : public QObject {
    Q_OBJECT

private slots:
    void blinkPhases_data();
    void blinkPhases();
    void offLampNeverLit();
    void stopBlinkingShowsSteady();
    void paintsItsColourWhenLit_data();
    void paintsItsColourWhenLit();
};

void TestLedLamp::blinkPhases_data() {
    QTest::addColumn<int>("period");
    QTest::addColumn<quint32>("after");
    QTest::addColumn<bool>("lit");
    QTest::newRow("steady") << 0 << 1234u << true;
    QTest::newRow("200: start lit") << 200 << 0u << true;
    QTest::newRow("200: 199 lit") << 200 << 199u << true;
    QTest::newRow("200: 200 dark") << 200 << 200u << false;
    QTest::newRow("200: 399 dark") << 200 << 399u << false;
    QTest::newRow("200: 400 lit again") << 200 << 400u << true;
    QTest::newRow("500: 999 dark") << 500 << 999u << false;
    QTest::newRow("500: 1499 lit") << 500 << 1499u << true;
}

void TestLedLamp::blinkPhases() {
    QFETCH(int, period);
    QFETCH(quint32, after);
    QFETCH(bool, lit);
    VirtualTime time(QDateTime(QDate(2026, 1, 1), QTime(0, 0)), 0xFFFFFF00u); // wraps during the test
    LedLamp lamp;
    lamp.setClock(&time);
    lamp.setOn(true);
    lamp.setBlinking(period);
    time.advance(after);
    QCOMPARE(lamp.isLit(), lit);
}

void TestLedLamp::offLampNeverLit() {
    VirtualTime time;
    LedLamp lamp;
    lamp.setClock(&time);
    lamp.setBlinking(200);
    for (int i = 0; i < 10; ++i, time.advance(100))
        QVERIFY(!lamp.isLit());
}

void TestLedLamp::stopBlinkingShowsSteady() {
    VirtualTime time;
    LedLamp lamp(Qt::red);
    lamp.setClock(&time);
    lamp.setOn(true);
    lamp.setBlinking(200);
    time.advance(250);
    QVERIFY(!lamp.isLit());
    lamp.setBlinking(0);
    QVERIFY(!lamp.isBlinking());
    QVERIFY(lamp.isLit());
}

void TestLedLamp::paintsItsColourWhenLit_data() {
    QTest::addColumn<bool>("on");
    QTest::addColumn<bool>("bright");
    QTest::newRow("on") << true << true;
    QTest::newRow("off") << false << false;
}

void TestLedLamp::paintsItsColourWhenLit() {
    QFETCH(bool, on);
    QFETCH(bool, bright);
    LedLamp lamp(QColor(255, 0, 0));
    lamp.resize(20, 20);
    lamp.setOn(on);
    QImage image(lamp.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    lamp.render(&image);
    // Near the rim the gradient reaches the lamp's own colour, or its dark shade.
    const QColor rim = image.pixelColor(10, 17);
    QCOMPARE(rim.red() > 200, bright);
    QVERIFY(rim.green() < 120);
}

} // namespace orlu

QTEST_MAIN(orlu::TestLedLamp)
#include "test_ledlamp.moc"
