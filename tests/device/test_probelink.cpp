#include "device/probelink.h"
#include "scriptedhidlayer.h"
#include "support/virtualtime.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using orlu::test::ScriptedHidLayer;
using orlu::test::VirtualTime;

namespace orlu {

// The command exchange against a scripted layer: report bytes, time limits,
// answer parsing, the usage counter and the tones.
class TestProbeLink : public QObject {
    Q_OBJECT

private slots:
    void outputReport_data();
    void outputReport();
    void answerLimit_data();
    void answerLimit();
    void answeredCommandReturnsEarly();
    void answerQueuedWhileBusyIsTaken();
    void reading_data();
    void reading();
    void registerText_data();
    void registerText();
    void noProbeKeepsPreviousAnswer();
    void usageCounter();
    void usageCounterNotWrittenWhenUnread_data();
    void usageCounterNotWrittenWhenUnread();
    void usageCounterStaysAtTop();
    void serialJoinsSixRegisters();
    void tones_data();
    void tones();
    void tonesWithoutProbe();
    void nestedCommandRefused();
    void deviceChangeTakesAndReleases();
    void unplugStopsRetries();
    void replugBringsTheProbeToReadiness();
    void fuzzAnswers();
};

struct Rig {
    VirtualTime time;
    ScriptedHidLayer hid;
    ProbeLink link;
    explicit Rig(HidCapabilities caps = {65, 65})
        : hid(time, caps)
        , link(hid, time, time) {
        link.registerDeviceChange();
    }
};

void TestProbeLink::outputReport_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("report");
    QTest::newRow("length 9: one blank") << 9 << u"X000000"_s << QByteArray("\0X000000 ", 9);
    QTest::newRow("length 8: exact") << 8 << u"D000000"_s << QByteArray("\0D000000", 8);
    QTest::newRow("length 5: cut") << 5 << u"R050000"_s << QByteArray("\0R050", 5);
    QTest::newRow("length 1: id only") << 1 << u"X000000"_s << QByteArray(1, '\0');
    QByteArray full(65, ' ');
    full[0] = '\0';
    full.replace(1, 7, "S1E1A00");
    QTest::newRow("length 65: 57 blanks") << 65 << u"S1E1A00"_s << full;
}

void TestProbeLink::outputReport() {
    QFETCH(int, length);
    QFETCH(QString, command);
    QFETCH(QByteArray, report);
    Rig rig({65, length});
    rig.link.sendCommand(command);
    QCOMPARE(rig.hid.writes().size(), 1);
    QCOMPARE(rig.hid.writes().first().report, report);
}

void TestProbeLink::answerLimit_data() {
    QTest::addColumn<int>("failedWrites");
    QTest::addColumn<int>("writes");
    QTest::addColumn<quint32>("waitAfterLastWrite");
    QTest::addColumn<quint32>("total");
    QTest::newRow("first try") << 0 << 1 << 350u << 350u;
    QTest::newRow("second try") << 1 << 2 << 250u << 350u;
    QTest::newRow("third try") << 2 << 3 << 150u << 350u;
    // All three failed: 100 ms after the third try, then 50 ms.
    QTest::newRow("all failed") << 3 << 3 << 150u << 350u;
}

void TestProbeLink::answerLimit() {
    QFETCH(int, failedWrites);
    QFETCH(int, writes);
    QFETCH(quint32, waitAfterLastWrite);
    QFETCH(quint32, total);
    Rig rig;
    rig.hid.failNextWrites(failedWrites);
    rig.hid.setDefaultAnswer(std::nullopt);
    const quint32 start = rig.time.ticks();
    QVERIFY(!rig.link.sendCommand(u"X000000"_s));
    QCOMPARE(rig.hid.writes().size(), writes);
    QCOMPARE(rig.time.ticks() - rig.hid.writes().last().ticks, waitAfterLastWrite);
    QCOMPARE(rig.time.ticks() - start, total);
    QCOMPARE(rig.hid.flushes(), failedWrites);
}

void TestProbeLink::answeredCommandReturnsEarly() {
    Rig rig;
    rig.hid.setDefaultAnswer(QByteArray("X000000"));
    const quint32 start = rig.time.ticks();
    QVERIFY(rig.link.sendCommand(u"X000000"_s));
    QVERIFY(rig.time.ticks() - start <= 10);
    QCOMPARE(rig.link.answer(), QByteArray("X000000"));
}

void TestProbeLink::answerQueuedWhileBusyIsTaken() {
    // The main thread busy past the limit (a slow first paint): the queued answer is still taken.
    Rig rig;
    rig.hid.setDefaultAnswer(std::nullopt);
    bool busy = false;
    rig.time.setOnPump([&](quint32) {
        if (std::exchange(busy, true))
            return;
        QMetaObject::invokeMethod(
            &rig.hid, [&] { emit rig.hid.deviceData(0, QByteArray("X000000")); }, Qt::QueuedConnection);
        rig.time.advance(400);
    });
    QVERIFY(rig.link.sendCommand(u"X000000"_s));
    QCOMPARE(rig.link.answer(), QByteArray("X000000"));
}

void TestProbeLink::reading_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("value");
    QTest::newRow("0FF") << QByteArray("D00000FF") << 255;
    QTest::newRow("FFF") << QByteArray("D0000FFF") << 4095;
    QTest::newRow("lower case") << QByteArray("D00001a2") << 0x1a2;
    QTest::newRow("blank inside field start") << QByteArray("D0000 1F") << 0x1F;
    QTest::newRow("NUL padding after") << QByteArray("D00000A\0\0\0", 10) << 0x0A;
    QTest::newRow("shorter than 6") << QByteArray("D0000") << 0;
    QTest::newRow("7 characters") << QByteArray("D00001F") << 0x1F;
    QTest::newRow("not hex") << QByteArray("D0000G12") << 0;
    QTest::newRow("sign") << QByteArray("D0000-12") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("blanks only") << QByteArray("D0000   ") << 0;
}

void TestProbeLink::reading() {
    QFETCH(QByteArray, answer);
    QFETCH(int, value);
    Rig rig;
    rig.hid.queueAnswer(answer);
    QCOMPARE(rig.link.readCurrent(), value);
    QCOMPARE(rig.hid.commands(), QStringList{u"D000000"_s});
}

void TestProbeLink::registerText_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("text");
    QTest::newRow("two characters") << QByteArray("R030A7") << u"A7"_s;
    QTest::newRow("one character") << QByteArray("R0305") << u"5"_s;
    QTest::newRow("short") << QByteArray("R03") << QString();
    QTest::newRow("not hex is kept") << QByteArray("R030QX2") << u"QX"_s;
}

void TestProbeLink::registerText() {
    QFETCH(QByteArray, answer);
    QFETCH(QString, text);
    Rig rig;
    rig.hid.queueAnswer(answer);
    QCOMPARE(rig.link.readRegister(3), text);
    QCOMPARE(rig.hid.commands(), QStringList{u"R030000"_s});
}

void TestProbeLink::noProbeKeepsPreviousAnswer() {
    Rig rig;
    rig.hid.queueAnswer(QByteArray("D0000123"));
    QCOMPARE(rig.link.readCurrent(), 0x123);
    rig.hid.unplug();
    rig.link.handleDeviceChange();
    QVERIFY(!rig.link.probeHeld());
    const quint32 start = rig.time.ticks();
    // The last reading repeats, the previous result stays, and nothing is written.
    QCOMPARE(rig.link.readCurrent(), 0x123);
    QVERIFY(rig.link.sendCommand(u"X000000"_s));
    QCOMPARE(rig.time.ticks(), start);
    QCOMPARE(rig.hid.writes().size(), 1);
}

void TestProbeLink::usageCounter() {
    Rig rig;
    for (const char *a : {"R06000", "R07001", "R080FF"})
        rig.hid.queueAnswer(QByteArray(a));
    rig.hid.setDefaultAnswer(QByteArray("W000000"));
    // "R06000" is short: characters 5..6 are "00"; 00 01 FF is 511.
    QCOMPARE(rig.link.usageCounter(true), 512);
    QCOMPARE(rig.hid.commands(), (QStringList{u"R060000"_s, u"R070000"_s, u"R080000"_s, u"W060000"_s,
                                              u"W070200"_s, u"W080000"_s}));
}

void TestProbeLink::usageCounterNotWrittenWhenUnread_data() {
    QTest::addColumn<int>("unanswered");
    QTest::addColumn<QByteArray>("badAnswer");
    QTest::newRow("register 6 silent") << 0 << QByteArray();
    QTest::newRow("register 8 silent") << 2 << QByteArray();
    QTest::newRow("register 7 not hex") << 1 << QByteArray("R070ZZ");
}

void TestProbeLink::usageCounterNotWrittenWhenUnread() {
    QFETCH(int, unanswered);
    QFETCH(QByteArray, badAnswer);
    Rig rig;
    const QByteArray answers[] = {"R06000", "R07001", "R080FF"};
    for (int i = 0; i < 3; ++i) {
        if (i == unanswered)
            rig.hid.queueAnswer(badAnswer.isEmpty() ? std::nullopt : std::optional<QByteArray>(badAnswer));
        else
            rig.hid.queueAnswer(answers[i]);
    }
    // A count that could not be read must not be replaced by 1.
    QCOMPARE(rig.link.usageCounter(true), 0);
    QCOMPARE(rig.hid.commands().size(), 3);
    QVERIFY(rig.hid.commands().filter(u"W"_s).isEmpty());
}

void TestProbeLink::usageCounterStaysAtTop() {
    Rig rig;
    for (const char *a : {"R060FF", "R070FF", "R080FF"})
        rig.hid.queueAnswer(QByteArray(a));
    rig.hid.setDefaultAnswer(QByteArray("W000000"));
    QCOMPARE(rig.link.usageCounter(true), 0xFFFFFF);
    QCOMPARE(rig.hid.commands().mid(3), (QStringList{u"W06FF00"_s, u"W07FF00"_s, u"W08FF00"_s}));
}

void TestProbeLink::serialJoinsSixRegisters() {
    Rig rig;
    for (const char *a : {"R000QX", "R01026", "R02007", "R03000", "R04042", "R05017"})
        rig.hid.queueAnswer(QByteArray(a));
    QCOMPARE(rig.link.readSerial(), u"QX2607004217"_s);
    QCOMPARE(rig.hid.commands().last(), u"R050000"_s);
}

void TestProbeLink::tones_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("0") << 0 << QStringList();
    QTest::newRow("1") << 1 << QStringList{u"S1E1A00"_s};
    QTest::newRow("2") << 2 << QStringList{u"S1E0F00"_s, u"S1E1A00"_s};
    QTest::newRow("3") << 3 << QStringList{u"S172C00"_s, u"S1F2000"_s};
    QTest::newRow("4") << 4 << QStringList{u"S330D00"_s};
    QTest::newRow("5") << 5 << QStringList{u"S192C00"_s};
    QTest::newRow("6") << 6 << QStringList{u"S193400"_s, u"S162F00"_s};
    QTest::newRow("7") << 7 << QStringList{u"S3E0700"_s};
    QTest::newRow("8") << 8 << QStringList{u"S291A00"_s};
    QTest::newRow("9") << 9 << QStringList{u"S3E0800"_s};
    QTest::newRow("10") << 10 << QStringList{u"S2E0A00"_s};
    QTest::newRow("11") << 11 << QStringList{u"S221100"_s};
    QTest::newRow("12") << 12 << QStringList{u"S191100"_s};
    QTest::newRow("13") << 13 << QStringList();
    QTest::newRow("-1") << -1 << QStringList();
}

void TestProbeLink::tones() {
    QFETCH(int, n);
    QFETCH(QStringList, commands);
    Rig rig;
    // The first command of a two-command tone waits out its time limit before the second goes.
    rig.hid.setDefaultAnswer(std::nullopt);
    QVERIFY(rig.link.playAlertTone(static_cast<AlertTone>(n)));
    QCOMPARE(rig.hid.commands(), commands);
    for (int i = 1; i < rig.hid.writes().size(); ++i)
        QCOMPARE(rig.hid.writes()[i].ticks - rig.hid.writes()[i - 1].ticks, 350u);
}

void TestProbeLink::tonesWithoutProbe() {
    Rig rig;
    rig.hid.unplug();
    rig.link.handleDeviceChange();
    QVERIFY(rig.link.playAlertTone(AlertTone::LastPointDone));
    QVERIFY(rig.hid.writes().isEmpty());
}

void TestProbeLink::nestedCommandRefused() {
    Rig rig;
    rig.hid.setDefaultAnswer(std::nullopt);
    bool nestedResult = true;
    bool fired = false;
    rig.time.setOnPump([&](quint32) {
        if (fired)
            return;
        fired = true;
        nestedResult = rig.link.sendCommand(u"S1E1A00"_s);
    });
    QVERIFY(!rig.link.sendCommand(u"D000000"_s));
    QVERIFY(fired);
    QVERIFY(!nestedResult);
    QCOMPARE(rig.hid.commands(), QStringList{u"D000000"_s});
    QVERIFY(!rig.link.busy());
}

void TestProbeLink::deviceChangeTakesAndReleases() {
    Rig rig;
    QSignalSpy spy(&rig.link, &ProbeLink::probeHeldChanged);
    QVERIFY(rig.link.probeHeld());
    rig.hid.unplug();
    rig.link.handleDeviceChange();
    QVERIFY(!rig.link.probeHeld());
    QCOMPARE(rig.hid.flushes(), 1); // flushed before it is let go
    rig.hid.plugIn();
    rig.link.handleDeviceChange();
    QVERIFY(rig.link.probeHeld());
    QCOMPARE(spy.size(), 2);
}

void TestProbeLink::unplugStopsRetries() {
    Rig rig;
    rig.hid.failNextWrites(3);
    bool unplugged = false;
    rig.time.setOnPump([&](quint32) {
        if (unplugged)
            return;
        unplugged = true;
        rig.hid.unplug();
        rig.link.handleDeviceChange();
    });
    const quint32 start = rig.time.ticks();
    QVERIFY(!rig.link.sendCommand(u"X000000"_s));
    QCOMPARE(rig.hid.writes().size(), 1);
    QVERIFY(!rig.link.probeHeld());
    QVERIFY(rig.time.ticks() - start <= 350);
}

void TestProbeLink::replugBringsTheProbeToReadiness() {
    Rig rig;
    rig.hid.setDefaultAnswer(QByteArray("D0000100"));
    QCOMPARE(rig.link.readCurrent(), 0x100);
    QVERIFY(rig.link.probeConnected());
    QCOMPARE(rig.link.probeLosses(), 0);
    rig.hid.unplug();
    QVERIFY(!rig.link.probeConnected()); // before the device change is handled
    rig.link.handleDeviceChange();
    QCOMPARE(rig.link.probeLosses(), 1);
    rig.hid.plugIn();
    rig.link.handleDeviceChange();
    QVERIFY(rig.link.probeConnected());
    // The probe powered up again: reset and started before the first command.
    QCOMPARE(rig.link.readCurrent(), 0x100);
    QCOMPARE(rig.link.readCurrent(), 0x100);
    QCOMPARE(rig.hid.commands(),
             (QStringList{u"D000000"_s, u"X000000"_s, u"N000000"_s, u"D000000"_s, u"D000000"_s}));
    QCOMPARE(rig.link.probeLosses(), 1);
}

void TestProbeLink::fuzzAnswers() {
    Rig rig;
    QRandomGenerator rng(20261209);
    for (int round = 0; round < 3000; ++round) {
        QByteArray data(rng.bounded(65), '\0');
        for (auto &c : data)
            c = static_cast<char>(rng.bounded(256));
        // Hex-looking bytes more often, so the digit paths are walked too.
        if (round % 3 == 0)
            for (auto &c : data)
                c = "0123456789ABCDEFabcdef \0"[rng.bounded(24)];
        rig.hid.queueAnswer(data);
        switch (round % 3) {
        case 0: {
            const int r = rig.link.readCurrent();
            QVERIFY(r >= 0 && r <= 0xFFF);
            break;
        }
        case 1:
            QVERIFY(rig.link.readRegister(round % 9).size() <= 2);
            break;
        default:
            QVERIFY(answer::hexValue(data) >= 0);
            rig.link.sendCommand(u"X000000"_s);
            QCOMPARE(rig.link.answer(), data);
            break;
        }
    }
}

} // namespace orlu

QTEST_GUILESS_MAIN(orlu::TestProbeLink)
#include "test_probelink.moc"
