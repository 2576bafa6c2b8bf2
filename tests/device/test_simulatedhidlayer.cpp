#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "support/temphome.h"
#include "support/virtualtime.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using orlu::test::TempHome;
using orlu::test::VirtualTime;

namespace orlu {

// The simulated probe behind the command exchange, with its device thread
// answering in virtual time: plug events, faults, registers and the log.
class TestSimulatedHidLayer : public QObject {
    Q_OBJECT

private slots:
    void answersEcho_data();
    void answersEcho();
    void latency_data();
    void latency();
    void droppedAnswerThenRecovers();
    void failedWritesRetried();
    void lateAnswerNotTakenForNext();
    void serialAndHardwareString();
    void counterSurvivesRestart();
    void commandLogFile();
    void unplugDuringCommand();
    void replugTakenAgain();
    void unplugAndReplugBeforeNotice();
    void secondProbeNotTakenWhileOneHeld();
    void realTimeRoundTrips();
    void realTimeLatencyFromWrite_data();
    void realTimeLatencyFromWrite();
    void releaseWhileReportWaits();
};

struct SimRig {
    VirtualTime time;
    SimulatedHidLayer sim;
    ProbeLink link;
    explicit SimRig(SimulatedProbeOptions options = {}, int probes = 1)
        : sim(time, SimulatedHidLayer::Timing::Stepped)
        , link(sim, time, time) {
        time.addSettleHook([this] { sim.settle(); });
        options.latencyMs = 0;
        for (int i = 0; i < probes; ++i)
            sim.addProbe(options);
        link.registerDeviceChange();
    }
    void pump(int times = 1) {
        for (int i = 0; i < times; ++i)
            time.pump(10);
    }
};

void TestSimulatedHidLayer::answersEcho_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("answerStart");
    QTest::newRow("reset") << u"X000000"_s << QByteArray("X000000");
    QTest::newRow("tone") << u"S1E1A00"_s << QByteArray("S1E1A00");
    QTest::newRow("register 2") << u"R020000"_s << QByteArray("R02007");
    QTest::newRow("signal") << u"AFFFFFF"_s << QByteArray("AFFFFFF");
}

void TestSimulatedHidLayer::answersEcho() {
    QFETCH(QString, command);
    QFETCH(QByteArray, answerStart);
    SimRig rig;
    QVERIFY(rig.link.sendCommand(command));
    QVERIFY(rig.link.answer().startsWith(answerStart));
    QCOMPARE(rig.link.answer().size(), 64); // a whole input report less its id
    QCOMPARE(rig.sim.probe().commandLog(), QStringList{command});
}

void TestSimulatedHidLayer::latency_data() {
    QTest::addColumn<int>("latency");
    QTest::addColumn<bool>("answered");
    QTest::newRow("0 ms") << 0 << true;
    QTest::newRow("120 ms") << 120 << true;
    QTest::newRow("340 ms") << 340 << true;
    QTest::newRow("360 ms") << 360 << false;
}

void TestSimulatedHidLayer::latency() {
    QFETCH(int, latency);
    QFETCH(bool, answered);
    SimRig rig;
    rig.sim.probe().setLatency(latency);
    const quint32 start = rig.time.ticks();
    QCOMPARE(rig.link.sendCommand(u"X000000"_s), answered);
    const quint32 took = rig.time.ticks() - start;
    if (answered)
        QVERIFY2(took >= quint32(latency) && took <= quint32(latency) + 10,
                 qPrintable(QString::number(took)));
    else
        QCOMPARE(took, 350u);
}

void TestSimulatedHidLayer::droppedAnswerThenRecovers() {
    SimRig rig;
    rig.sim.probe().dropAnswers(1);
    QVERIFY(!rig.link.sendCommand(u"X000000"_s));
    QVERIFY(rig.link.answer().isEmpty());
    QCOMPARE(rig.link.readCurrent() >= 0, true);
    QVERIFY(rig.link.answerArrived());
}

void TestSimulatedHidLayer::failedWritesRetried() {
    SimRig rig;
    rig.sim.probe().failWrites(2);
    const quint32 start = rig.time.ticks();
    QVERIFY(rig.link.sendCommand(u"X000000"_s));
    QVERIFY(rig.time.ticks() - start >= 200);
    QCOMPARE(rig.sim.probe().commandLog(), QStringList{u"X000000"_s});
}

void TestSimulatedHidLayer::lateAnswerNotTakenForNext() {
    SimRig rig;
    rig.sim.probe().setLatency(380);
    QVERIFY(!rig.link.sendCommand(u"R000000"_s));
    rig.sim.probe().setLatency(30);
    rig.time.advance(40); // the late answer is in the queue now, not yet handed over
    QVERIFY(rig.link.sendCommand(u"R010000"_s));
    QVERIFY(rig.link.answer().startsWith("R01026"));
}

void TestSimulatedHidLayer::serialAndHardwareString() {
    SimRig rig;
    QCOMPARE(rig.link.readSerial(), u"QX2607004217"_s);
    QCOMPARE(rig.link.hardwareVersion(), u"QX-HID Rev 2.10"_s);
    QCOMPARE(rig.sim.indexedString(7), QString());
}

void TestSimulatedHidLayer::counterSurvivesRestart() {
    TempHome home;
    SimulatedProbeOptions options;
    options.counterFile = home.file(u"SimProbe.cnt"_s);
    {
        SimRig rig(options);
        rig.sim.probe().setRegisterValue(7, u"01"_s);
        rig.sim.probe().setRegisterValue(8, u"FF"_s);
        QCOMPARE(rig.link.usageCounter(true), 512);
    }
    SimRig again(options);
    QCOMPARE(again.link.usageCounter(false), 512);
    QCOMPARE(home.readFile(u"SimProbe.cnt"_s).trimmed(), QByteArray("000200"));
}

void TestSimulatedHidLayer::commandLogFile() {
    TempHome home;
    SimulatedProbeOptions options;
    options.logFile = home.file(u"probe.log"_s);
    {
        SimRig rig(options);
        rig.link.resetProbe();
        rig.link.playAlertTone(AlertTone::Caution);
    }
    QCOMPARE(home.readFile(u"probe.log"_s), QByteArray("X000000\nS1E0F00\nS1E1A00\n"));
}

void TestSimulatedHidLayer::unplugDuringCommand() {
    SimRig rig;
    rig.sim.probe().setLatency(200);
    bool unplugged = false;
    rig.time.setOnPump([&](quint32) {
        if (!unplugged) {
            unplugged = true;
            rig.sim.unplug();
        }
    });
    const quint32 start = rig.time.ticks();
    QVERIFY(!rig.link.sendCommand(u"X000000"_s));
    QVERIFY(rig.time.ticks() - start <= 350);
    QVERIFY(!rig.link.probeHeld());
    QVERIFY(!rig.link.sendCommand(u"X000000"_s)); // nothing held: the previous result
}

void TestSimulatedHidLayer::replugTakenAgain() {
    SimRig rig;
    rig.sim.unplug();
    rig.pump();
    QVERIFY(!rig.link.probeHeld());
    rig.sim.replug();
    rig.pump();
    QVERIFY(rig.link.probeHeld());
    QVERIFY(rig.link.sendCommand(u"X000000"_s));
}

void TestSimulatedHidLayer::unplugAndReplugBeforeNotice() {
    SimRig rig;
    rig.sim.unplug();
    rig.sim.replug();
    QVERIFY(!rig.sim.heldProbePluggedIn()); // the held connection is the old one
    rig.pump();
    QVERIFY(rig.link.probeHeld());
    QVERIFY(rig.sim.heldProbePluggedIn());
    QVERIFY(rig.link.sendCommand(u"X000000"_s));
}

void TestSimulatedHidLayer::secondProbeNotTakenWhileOneHeld() {
    SimRig rig({}, 2);
    rig.pump();
    QCOMPARE(rig.sim.heldIndex(), 0);
    rig.link.handleDeviceChange();
    QCOMPARE(rig.sim.heldIndex(), 0);
    QCOMPARE(rig.sim.devices().size(), 2);
    rig.sim.unplug(0);
    rig.pump();
    QCOMPARE(rig.sim.heldIndex(), -1);
    rig.link.handleDeviceChange(); // the next change
    QCOMPARE(rig.sim.heldIndex(), 1);
    QVERIFY(rig.link.sendCommand(u"X000000"_s));
    // Taken after a loss, it is reset and started before the first command.
    QCOMPARE(rig.sim.probe(1).commandLog(), (QStringList{u"X000000"_s, u"N000000"_s, u"X000000"_s}));
}

void TestSimulatedHidLayer::realTimeRoundTrips() {
    SystemClock clock;
    QtEventPump pump;
    SimulatedHidLayer sim(clock, SimulatedHidLayer::Timing::RealTime);
    SimulatedProbeOptions options;
    options.latencyMs = 1;
    sim.addProbe(options);
    ProbeLink link(sim, clock, pump);
    link.registerDeviceChange();
    for (int i = 0; i < 50; ++i) {
        const QString command = u"R0%10000"_s.arg(i % 6);
        QVERIFY(link.sendCommand(command));
        QVERIFY(link.answer().startsWith(command.left(3).toLatin1()));
    }
    QCOMPARE(link.readSerial(), u"QX2607004217"_s);
}

void TestSimulatedHidLayer::realTimeLatencyFromWrite_data() {
    QTest::addColumn<int>("latency");
    QTest::newRow("1 ms") << 1;
    QTest::newRow("3 ms") << 3;
}

// In real time an answer never comes before its latency has passed since the
// write, counted finer than whole milliseconds, even when a flush wakes the
// device thread while the answer is on its way.
void TestSimulatedHidLayer::realTimeLatencyFromWrite() {
    QFETCH(int, latency);
    SystemClock clock;
    QtEventPump pump; // wakes as the report is handed over, as in the program
    SimulatedHidLayer sim(clock, SimulatedHidLayer::Timing::RealTime);
    SimulatedProbeOptions options;
    options.latencyMs = latency;
    sim.addProbe(options);
    QVERIFY(sim.takeProbeById(ProbeVendorId, ProbeProductId));
    QElapsedTimer sinceWrite;
    qint64 arrivedNs = -1;
    connect(&sim, &HidLayer::deviceData, this, [&] { arrivedNs = sinceWrite.nsecsElapsed(); });
    const QByteArray report = buildOutputReport(u"X000000"_s, 65);
    const qint64 latencyNs = latency * 1'000'000LL;
    int checked = 0;
    for (int i = 0; i < 30; ++i) {
        arrivedNs = -1;
        sinceWrite.start();
        QVERIFY(sim.writeOutputReport(report));
        QThread::usleep(500);
        QVERIFY(sim.flushInputQueue());
        if (sinceWrite.nsecsElapsed() >= latencyNs)
            continue; // the answer may have been due already, and the flush rightly dropped it
        QVERIFY(waitUntil(clock, pump, 1000, [&] { return arrivedNs >= 0; }));
        QVERIFY2(arrivedNs >= latencyNs, qPrintable(u"answered after %1 us"_s.arg(arrivedNs / 1000)));
        ++checked;
    }
    if (checked == 0)
        QSKIP("the machine was too busy to flush before any answer was due");
}

void TestSimulatedHidLayer::releaseWhileReportWaits() {
    SystemClock clock;
    SimulatedHidLayer sim(clock, SimulatedHidLayer::Timing::RealTime);
    SimulatedProbeOptions options;
    options.latencyMs = 0;
    sim.addProbe(options);
    QVERIFY(sim.takeProbeById(ProbeVendorId, ProbeProductId));
    QSignalSpy data(&sim, &HidLayer::deviceData);
    QVERIFY(sim.writeOutputReport(buildOutputReport(u"X000000"_s, 65)));
    QThread::msleep(20); // the answer now waits for the main thread
    sim.releaseProbe();  // must not wait for it
    QCoreApplication::processEvents();
    QCOMPARE(data.size(), 0);
}

} // namespace orlu

QTEST_GUILESS_MAIN(orlu::TestSimulatedHidLayer)
#include "test_simulatedhidlayer.moc"
