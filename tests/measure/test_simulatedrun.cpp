#include "measure/measuringrun.h"

#include "core/channels.h"
#include "core/currentmeasurement.h"
#include "core/readingquality.h"
#include "core/settings.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "measure/calibration.h"
#include "measure/locating.h"
#include "measure/probelinkoperations.h"
#include "quality/verdicts.h"
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

struct StateRecorder final : LocatingObserver {
    QStringList states;
    double highest = 0;
    void locatingShown(const LocatingView &view) override {
        if (states.isEmpty() || states.last() != view.state.text)
            states << view.state.text;
        highest = view.highest;
    }
};

} // namespace

// A whole run against the simulated probe and its operator, in virtual time.
class TestSimulatedRun : public QObject {
    Q_OBJECT
private slots:
    void runMeasuresTheSimulatedBody_data();
    void runMeasuresTheSimulatedBody();
    void everySkinScenarioGetsItsVerdict_data();
    void everySkinScenarioGetsItsVerdict();
    void calibrationAtTheSimulatedGrip_data();
    void calibrationAtTheSimulatedGrip();
    void locatingSearchesThenFindsThePoint_data();
    void locatingSearchesThenFindsThePoint();
    void pulledProbeEndsTheRunAndIsReadyAgain();
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
    // The measurement names the probe that took it, as the probe tells it.
    QCOMPARE(rig.measurement.origin.probeSerial + u' ' + rig.measurement.origin.probeHardware,
             u"QX2607004217 QX-HID Rev 2.10"_s);
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
    // The probe's serial number comes from its registers 0..5, once the probe is held.
    QCOMPARE(control, (QStringList{u"X000000"_s, u"N000000"_s, potential, u"R000000"_s, u"R010000"_s,
                                   u"R020000"_s, u"R030000"_s, u"R040000"_s, u"R050000"_s, u"X000000"_s}));
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

void TestSimulatedRun::everySkinScenarioGetsItsVerdict_data() {
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<int>("retried"); // points measured again after a lost contact
    QTest::newRow("稳定") << int(SkinScenario::Steady) << u"steady"_s << 0;
    QTest::newRow("漂移") << int(SkinScenario::Drifting) << u"drifting"_s << 0;
    QTest::newRow("不稳") << int(SkinScenario::Unsteady) << u"noisy"_s << 0;
    QTest::newRow("接触不良") << int(SkinScenario::PoorContact) << u"nearFloor"_s << 8;
    QTest::newRow("饱和") << int(SkinScenario::Saturated) << u"saturated"_s << 0;
}

void TestSimulatedRun::everySkinScenarioGetsItsVerdict() {
    QFETCH(int, scenario);
    SimulatedRig rig;
    rig.sim.probe().setSkinScenario(SkinScenario(scenario));
    QVERIFY(rig.run.start(RunParameters{false, 4000, 1.0}));
    QVERIFY(rig.measurement.complete());
    int retried = 0;
    for (int c = 1; c <= ChannelCount; ++c) {
        const std::optional<PointQuality> &q = rig.measurement.pointQuality(c);
        QVERIFY(q);
        QTEST(verdictWord(q->verdict), "verdict");
        retried += q->attempts > 1 ? 1 : 0;
    }
    QTEST(retried, "retried");
}

void TestSimulatedRun::calibrationAtTheSimulatedGrip_data() {
    QTest::addColumn<QList<bool>>("dryTips"); // one calibration each, in order
    QTest::addColumn<int>("outcome");         // of the last one
    QTest::addColumn<int>("standard");        // the calibration in force afterwards
    QTest::newRow("wet tip") << QList<bool>{false} << int(CalibrationProcedure::Outcome::Succeeded) << 3996;
    QTest::newRow("dry tip") << QList<bool>{true} << int(CalibrationProcedure::Outcome::Failed) << 4000;
    // The failed values (about 2398) would read every point 1.67 times too high.
    QTest::newRow("wet, then dry") << QList<bool>{false, true} << int(CalibrationProcedure::Outcome::Failed)
                                   << 3996;
}

void TestSimulatedRun::calibrationAtTheSimulatedGrip() {
    QFETCH(QList<bool>, dryTips);
    QFETCH(int, outcome);
    QFETCH(int, standard);
    SimulatedRig rig;
    Settings settings = defaultSettings(QDate(2026, 1, 5));
    CalibrationProcedure calibration(settings, nullptr, rig.probe, rig.prompter, rig.time, rig.time);
    quint32 start = 0;
    for (const bool dry : dryTips) {
        rig.sim.probe().setDryTip(dry);
        start = rig.time.ticks();
        QVERIFY(calibration.start());
    }
    QCOMPARE(int(calibration.lastOutcome()), outcome);
    QVERIFY2(qAbs(settings.standardCalibration - standard) <= 5,
             qPrintable(QString::number(settings.standardCalibration)));
    QVERIFY(rig.prompter.asked().isEmpty());
    // Touched, held through both phases and let go again as a person would.
    const quint32 took = rig.time.ticks() - start;
    QVERIFY2(took > 5000 && took < 8000, qPrintable(QString::number(took)));
    QCOMPARE(rig.log().last(), u"X000000"_s);

    // Measured with the calibration in force, the body reads true.
    QVERIFY(rig.run.start(RunParameters{false, settings.standardCalibration, settings.measuringThreshold}));
    for (int c = 1; c <= ChannelCount; ++c)
        QVERIFY2(qAbs(rig.measurement.value(c) / BodyCurrents[c - 1] - 1) < 0.03,
                 qPrintable(QString::number(c)));
}

void TestSimulatedRun::locatingSearchesThenFindsThePoint_data() {
    QTest::addColumn<bool>("sound");
    QTest::newRow("with sound") << true;
    // Without tones the operator has to be told it is a locating session.
    QTest::newRow("silent") << false;
}

void TestSimulatedRun::locatingSearchesThenFindsThePoint() {
    QFETCH(bool, sound);
    SimulatedRig rig;
    if (!sound)
        rig.sim.probe().setScenario(AutoOperator::Scenario::Locating);
    Settings settings = defaultSettings(QDate(2026, 1, 5));
    settings.locateSound = sound;
    LocatingRun locating(settings, rig.probe, rig.prompter, rig.time, rig.time);
    StateRecorder recorder;
    locating.setObserver(&recorder);
    locating.open();
    const quint32 start = rig.time.ticks();
    rig.time.setOnPump([&](quint32 now) {
        if (now - start > 12000 && locating.view().mode == LocatingMode::Search)
            locating.setMode(LocatingMode::Locating);
        if (now - start > 24000)
            locating.stop();
    });
    QVERIFY(locating.start());
    QVERIFY2(qAbs(settings.locateHighestReading - LocatingPeakUa) < 2.0,
             qPrintable(QString::number(settings.locateHighestReading)));
    for (const QString &s : {u"不在穴道位置"_s, u"接近穴道位置"_s, u"正确穴道位置"_s})
        QVERIFY2(recorder.states.contains(s), qPrintable(recorder.states.join(u',')));
}

void TestSimulatedRun::pulledProbeEndsTheRunAndIsReadyAgain() {
    SimulatedRig rig;
    bool pulled = false;
    rig.time.setOnPump([&](quint32) {
        if (!pulled && rig.run.currentChannel() == 3 && rig.run.state() == RunState::Measuring) {
            pulled = true;
            rig.sim.unplug();
        }
    });
    const quint32 start = rig.time.ticks();
    QVERIFY(rig.run.start(RunParameters{false, 4000, 1.0}));
    QVERIFY(pulled);
    QVERIFY(rig.run.endedByProbeLoss());
    QVERIFY(rig.time.ticks() - start < 20000);
    QCOMPARE(rig.prompter.texts(), QStringList{ProbeWatch::lostMessage()});
    QVERIFY(rig.measurement.value(2) > 0);
    QCOMPARE(rig.measurement.value(3), 0.0);

    rig.time.setOnPump(nullptr);
    rig.sim.replug();
    rig.time.pump(1); // the device change
    QVERIFY(rig.link.probeConnected());
    rig.sim.probe().clearCommandLog();
    rig.prompter.clear();
    QVERIFY(rig.run.start(RunParameters{false, 4000, 1.0}));
    QVERIFY(!rig.run.endedByProbeLoss());
    QVERIFY(rig.measurement.complete());
    QCOMPARE(rig.log().mid(0, 3), (QStringList{u"X000000"_s, u"N000000"_s, u"X000000"_s}));
}

QTEST_GUILESS_MAIN(TestSimulatedRun)
#include "test_simulatedrun.moc"
