#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "support/virtualtime.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using orlu::test::VirtualTime;

namespace orlu {

// The simulated probe's auto-operator completes a measuring run, a calibration
// and a locating session when the program drives it the way those procedures do.
class TestAutoOperator : public QObject {
    Q_OBJECT

private slots:
    void measuringRunCompletes_data();
    void measuringRunCompletes();
    void calibrationHoldsTheGrip();
    void locatingSweeps();
    void liftedWithoutSession();
};

struct OperatorRig {
    VirtualTime time;
    SimulatedHidLayer sim;
    ProbeLink link;
    OperatorRig()
        : sim(time, SimulatedHidLayer::Timing::Stepped)
        , link(sim, time, time) {
        time.addSettleHook([this] { sim.settle(); });
        SimulatedProbeOptions options;
        options.latencyMs = 1;
        sim.addProbe(options);
        link.registerDeviceChange();
    }
    // Reads until `done` holds for a reading; false when it took longer than limitMs.
    template <typename P> bool readUntil(P done, quint32 limitMs) {
        const quint32 start = time.ticks();
        while (time.ticks() - start < limitMs) {
            if (done(link.readCurrent()))
                return true;
            time.pump(5);
        }
        return false;
    }
};

void TestAutoOperator::measuringRunCompletes_data() {
    QTest::addColumn<bool>("high");
    QTest::addColumn<double>("gain");
    QTest::newRow("standard") << false << 1.0;
    QTest::newRow("high") << true << 1.25;
}

void TestAutoOperator::measuringRunCompletes() {
    QFETCH(bool, high);
    QFETCH(double, gain);
    OperatorRig rig;
    const int threshold = 20; // 1.0 uA at 20 units per uA
    const double expected[24] = {52, 47, 61, 38, 44, 49, 55, 45, 58, 40, 46, 51,
                                 35, 42, 30, 37, 39, 33, 36, 41, 31, 38, 40, 34};
    rig.link.resetProbe();
    rig.link.startProbe();
    rig.link.setPotential(high);
    const quint32 runStart = rig.time.ticks();
    for (int c = 1; c <= 24; ++c) {
        QVERIFY2(rig.readUntil(
                     [&](int r1) { return r1 > threshold && (r1 + rig.link.readCurrent()) / 2 > threshold; },
                     10000),
                 qPrintable(u"no contact at point %1"_s.arg(c)));
        rig.link.playAlertTone(AlertTone::PointTick);
        const quint32 t0 = rig.time.ticks();
        quint32 tick = t0;
        int k = 1;
        double sum = 0;
        int n = 0;
        while (k < 5) {
            const int r = rig.link.readCurrent();
            QVERIFY2(r > threshold, "the operator lifted the probe during a point");
            if (k > 3) {
                sum += r;
                ++n;
            }
            if (rig.time.ticks() - tick >= 600) {
                tick = rig.time.ticks();
                ++k;
                rig.link.playAlertTone(AlertTone::PointTick);
            }
            rig.time.pump(5);
        }
        const double ua = sum / n / 20.0;
        QVERIFY2(qAbs(ua - expected[c - 1] * gain) < expected[c - 1] * gain * 0.03,
                 qPrintable(u"point %1 gave %2 uA"_s.arg(c).arg(ua)));
        rig.link.playAlertTone(c == 24 ? AlertTone::LastPointDone : AlertTone::PointDone);
        // Released well before the program would ask whether to go on.
        QVERIFY(rig.readUntil([&](int r) { return r < threshold; }, 3000));
    }
    rig.link.resetProbe();
    // About three and a half seconds a point, as a person would take.
    const quint32 took = rig.time.ticks() - runStart;
    QVERIFY2(took > 24 * 3000 && took < 24 * 6000, qPrintable(QString::number(took)));
}

void TestAutoOperator::calibrationHoldsTheGrip() {
    OperatorRig rig;
    rig.link.resetProbe();
    rig.link.startProbe();
    rig.link.setPotential(false);
    rig.link.playAlertTone(AlertTone::Notice);
    QVERIFY(rig.readUntil([](int r) { return r > 1000; }, 5000));
    rig.link.setPotential(false);
    rig.link.playAlertTone(AlertTone::CalibrationTick);
    quint32 tick = rig.time.ticks();
    int i = 0;
    double sum = 0;
    int n = 0;
    while (i < 16) {
        const int r = rig.link.readCurrent();
        QVERIFY2(r > 1000, "the operator left the grip during the calibration");
        if (rig.time.ticks() - tick >= 280) {
            tick = rig.time.ticks();
            ++i;
            rig.link.playAlertTone(AlertTone::CalibrationTick);
            if (i == 8)
                rig.link.setPotential(true);
        }
        if ((i >= 6 && i < 8) || (i >= 14 && i < 16)) {
            sum += rig.link.readCurrent();
            ++n;
        }
        rig.time.pump(5);
    }
    QVERIFY(qAbs(sum / n - 4002.5) < 10);
    rig.link.playAlertTone(AlertTone::Notice); // success
    QVERIFY(rig.readUntil([](int r) { return r <= 1000; }, 2000));
    rig.link.resetProbe();
}

void TestAutoOperator::locatingSweeps() {
    OperatorRig rig;
    rig.link.resetProbe();
    rig.link.startProbe();
    rig.link.setPotential(false);
    const int contactLevel = 40; // sensitivity 2 at 20 units per uA
    int sweeps = 0;
    bool inContact = false;
    int lowest = 4096, highest = 0;
    quint32 lastReport = rig.time.ticks();
    const quint32 start = rig.time.ticks();
    while (rig.time.ticks() - start < 15000) {
        const int r = rig.link.readCurrent();
        if (r >= contactLevel) {
            if (!inContact)
                ++sweeps;
            inContact = true;
            // The first touch is taken for a measuring point until the locating tone is heard.
            if (sweeps >= 2) {
                lowest = qMin(lowest, r);
                highest = qMax(highest, r);
            }
            if (rig.time.ticks() - lastReport >= 250) {
                rig.link.playAlertTone(AlertTone::LocatingContact);
                lastReport = rig.time.ticks();
            }
        } else {
            inContact = false;
        }
        rig.time.pump(5);
    }
    QVERIFY2(sweeps >= 3, qPrintable(QString::number(sweeps)));
    // Across the point the current rises to its peak and falls away again.
    QVERIFY(highest > lowest * 1.8);
    QVERIFY2(qAbs(highest - 800) < 40, qPrintable(u"%1 %2 %3"_s.arg(sweeps).arg(lowest).arg(highest)));
}

void TestAutoOperator::liftedWithoutSession() {
    OperatorRig rig;
    for (int i = 0; i < 300; ++i) {
        QVERIFY(rig.link.readCurrent() < 5);
        rig.time.pump(10);
    }
}

} // namespace orlu

QTEST_GUILESS_MAIN(orlu::TestAutoOperator)
#include "test_autooperator.moc"
