#include "measure/measuringrun.h"

#include "core/channels.h"
#include "core/currentmeasurement.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "measure/probelinkoperations.h"
#include "support/scriptedprompter.h"
#include "support/virtualtime.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

// The skin currents the simulated body shows at the 24 points, in uA.
constexpr double BodyCurrents[24] = {52, 47, 61, 38, 44, 49, 55, 45, 58, 40, 46, 51,
                                     35, 42, 30, 37, 39, 33, 36, 41, 31, 38, 40, 34};

struct SimulatedRig {
    VirtualTime time;
    SimulatedHidLayer sim{time, SimulatedHidLayer::Timing::Stepped};
    ProbeLink link{sim, time, time};
    ProbeLinkOperations probe{link};
    ScriptedPrompter prompter;
    CurrentMeasurement measurement;
    MeasuringRun run{measurement, probe, prompter, time, time};

    SimulatedRig() {
        time.addSettleHook([this] { sim.settle(); });
        SimulatedProbeOptions options;
        options.latencyMs = 1;
        sim.addProbe(options);
        link.registerDeviceChange();
    }
    QStringList log() { return sim.probe().commandLog(); }
};

} // namespace

// A whole run against the simulated probe and its operator, in virtual time.
class TestSimulatedRun : public QObject {
    Q_OBJECT
private slots:
    void runMeasuresTheSimulatedBody_data();
    void runMeasuresTheSimulatedBody();
};

void TestSimulatedRun::runMeasuresTheSimulatedBody_data() {
    QTest::addColumn<bool>("high");
    QTest::addColumn<double>("gain");
    QTest::addColumn<QString>("potential");
    QTest::newRow("standard") << false << 1.0 << u"L000000"_s;
    QTest::newRow("high") << true << 1.25 << u"H000000"_s;
}

void TestSimulatedRun::runMeasuresTheSimulatedBody() {
    QFETCH(bool, high);
    QFETCH(double, gain);
    QFETCH(QString, potential);
    SimulatedRig rig;
    QElapsedTimer real;
    real.start();
    QVERIFY(rig.run.start(RunParameters{high, 4000, 1.0}));
    qInfo("24 points in %lld ms of real time, %u ms of virtual time", real.elapsed(),
          rig.time.ticks() - 1000);

    QVERIFY(rig.measurement.complete());
    for (int c = 1; c <= ChannelCount; ++c) {
        const double expected = BodyCurrents[c - 1] * gain;
        QVERIFY2(qAbs(rig.measurement.value(c) - expected) < expected * 0.03,
                 qPrintable(u"channel %1: %2 uA"_s.arg(c).arg(rig.measurement.value(c))));
    }
    QVERIFY(rig.prompter.asked().size() == (high ? 1 : 0));

    // The commands as the probe received them: the run's control commands in
    // order, and every tone in order, readings aside.
    QStringList control;
    QStringList tones;
    for (const QString &command : rig.log()) {
        if (command.startsWith(u'S'))
            tones << command;
        else if (command != u"D000000"_s)
            control << command;
    }
    QCOMPARE(control, (QStringList{u"X000000"_s, u"N000000"_s, potential, u"X000000"_s}));
    QCOMPARE(rig.log().last(), u"X000000"_s);
    QStringList expectedTones;
    if (high)
        expectedTones << u"S1E0F00"_s << u"S1E1A00"_s; // before the High confirmation
    for (int c = 1; c <= ChannelCount; ++c) {
        for (int tick = 0; tick < 5; ++tick) // contact, then four ticks
            expectedTones << u"S330D00"_s;
        if (c < ChannelCount)
            expectedTones << u"S192C00"_s;
        else
            expectedTones << u"S193400"_s << u"S162F00"_s;
    }
    QCOMPARE(tones, expectedTones);
}

QTEST_GUILESS_MAIN(TestSimulatedRun)
#include "test_simulatedrun.moc"
