#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "device/ui/startupstatuswindow.h"
#include "scriptedhidlayer.h"
#include "support/controls.h"
#include "support/temphome.h"
#include "support/virtualtime.h"
#include "widgets/gradientprogressbar.h"
#include "widgets/ledlamp.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

using namespace Qt::StringLiterals;
using orlu::test::ScriptedHidLayer;
using orlu::test::TempHome;
using orlu::test::VirtualTime;

namespace orlu {

// The start-up status window against the simulated probe in virtual time.
class TestStartupStatusWindow : public QObject {
    Q_OBJECT

private slots:
    void readyProbeSequence();
    void failures_data();
    void failures();
    void leaveClosesFailedWindow();
    void lampsLightInTurn();
    void finishingWorkRunsWhenReady_data();
    void finishingWorkRunsWhenReady();
    void unplugDuringSequence();
    void slowProbeStillShowsRows();
    void openErrorShownWithMessage();
};

struct StatuRig {
    TempHome home;
    VirtualTime time;
    SimulatedHidLayer sim;
    ProbeLink link;
    DeviceStatus status;
    int conversions = 0;
    bool finishingMovesBar = false; // the finishing work sets the lent bar half way
    std::unique_ptr<StartupStatusWindow> window;

    explicit StatuRig(bool withProbe = true, SimulatedProbeOptions options = {})
        : sim(time, SimulatedHidLayer::Timing::Stepped)
        , link(sim, time, time) {
        time.addSettleHook([this] { sim.settle(); });
        options.latencyMs = 0;
        options.logFile = home.file(u"probe.log"_s);
        if (withProbe)
            sim.addProbe(options);
        link.registerDeviceChange();
        window = std::make_unique<StartupStatusWindow>(link, time, time, status, [this](StartupProgress &p) {
            ++conversions;
            if (finishingMovesBar)
                p.setProgress(p.progressMaximum() / 2);
        });
    }
    void run() {
        window->show();
        QCoreApplication::processEvents(); // the check runs on the first showing
        QVERIFY(window->hasRun());
    }
    QStringList log() const {
        return QString::fromLatin1(home.readFile(u"probe.log"_s)).split(u'\n', Qt::SkipEmptyParts);
    }
    template <typename T> T *find(const QString &name) const { return test::control<T>(window.get(), name); }
};

void TestStartupStatusWindow::readyProbeSequence() {
    StatuRig rig;
    QSignalSpy finished(rig.window.get(), &QDialog::finished);
    bool escaped = false;
    rig.time.setOnPump([&](quint32) {
        if (!escaped && rig.window->isRunning()) {
            escaped = true; // the run is not cut short
            QTest::keyClick(rig.window.get(), Qt::Key_Escape);
            QVERIFY(rig.window->isVisible());
        }
    });
    rig.run();
    QVERIFY(escaped);
    QCOMPARE(rig.log(), (QStringList{u"X000000"_s, u"R000000"_s, u"R010000"_s, u"R020000"_s, u"R030000"_s,
                                     u"R040000"_s, u"R050000"_s, u"AFFFFFF"_s, u"A000000"_s, u"BFFFFFF"_s,
                                     u"B000000"_s, u"IFFFFFF"_s, u"X000000"_s}));
    QVERIFY(rig.status.ready);
    QCOMPARE(rig.status.serialText, u"QX2607004217"_s);
    QCOMPARE(rig.status.hardwareText, u"QX-HID Rev 2.10"_s);
    QCOMPARE(rig.find<QLabel>(u"serialLabel"_s)->text(), u"QX2607004217"_s);
    QCOMPARE(rig.find<QLabel>(u"hardwareLabel"_s)->text(), u"QX-HID Rev 2.10"_s);
    QCOMPARE(rig.find<GradientProgressBar>(u"progressBar"_s)->value(), 1300);
    QCOMPARE(rig.find<LedLamp>(u"signalLamp"_s)->color(), QColor(0, 128, 0));
    // It closed by itself; closing stops the lamp and disables the bar.
    QCOMPARE(finished.size(), 1);
    QCOMPARE(rig.window->result(), int(QDialog::Accepted));
    QVERIFY(!rig.find<LedLamp>(u"signalLamp"_s)->isBlinking());
    QVERIFY(!rig.find<GradientProgressBar>(u"progressBar"_s)->isEnabled());
}

void TestStartupStatusWindow::failures_data() {
    QTest::addColumn<bool>("withProbe");
    QTest::addColumn<QString>("hardwareVersion");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("hardware");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("no probe") << false << u"x"_s << false << u"None!"_s << u"None!"_s
                              << u"O.R.L.U.并未启动！请检查电源是否开启，USB联机是否正常。"_s
                              << QStringList();
    QTest::newRow("empty string 3") << true << QString() << false << u"None!"_s << u"USB Status Error!"_s
                                    << u"USB界面异常！请检查O.R.L.U.的USB联机。"_s << QStringList();
    QTest::newRow("no answer") << true << u"QX-HID Rev 2.10"_s << true << u"None!"_s << u"QX-HID Rev 2.10"_s
                               << u"O.R.L.U.联机异常！请检查O.R.L.U.的USB联机。"_s
                               << QStringList{u"X000000"_s};
}

void TestStartupStatusWindow::failures() {
    QFETCH(bool, withProbe);
    QFETCH(QString, hardwareVersion);
    QFETCH(bool, silent);
    QFETCH(QString, serial);
    QFETCH(QString, hardware);
    QFETCH(QString, message);
    QFETCH(QStringList, commands);
    SimulatedProbeOptions options;
    options.hardwareVersion = hardwareVersion;
    StatuRig rig(withProbe, options);
    if (silent)
        rig.sim.probe().dropAnswers(1000);
    QStringList messages;
    connect(rig.find<QStatusBar>(u"statusBar"_s), &QStatusBar::messageChanged, this,
            [&](const QString &m) { messages << m; });
    rig.run();
    QVERIFY(!rig.status.ready);
    QCOMPARE(rig.status.statusMessage, message);
    QCOMPARE(rig.find<QLabel>(u"serialLabel"_s)->text(), serial);
    QCOMPARE(rig.find<QLabel>(u"hardwareLabel"_s)->text(), hardware);
    QCOMPARE(rig.log(), commands);
    QCOMPARE(rig.find<LedLamp>(u"signalLamp"_s)->color(), QColor(255, 0, 0));
    for (int i = 1; i <= 7; ++i)
        QVERIFY(rig.find<LedLamp>(u"usbLamp%1"_s.arg(i))->isOn());
    // "Done." first, then why the probe is not ready.
    QCOMPARE(messages.mid(messages.size() - 2), (QStringList{u"Done."_s, message}));
    QVERIFY(rig.window->isVisible());
    QVERIFY(rig.find<QPushButton>(u"leaveButton"_s)->isVisible());
    QCOMPARE(rig.find<QPushButton>(u"leaveButton"_s)->text(), u"离  开"_s);
    // Only a missing probe points to the simulated one; a faulty probe needs looking after.
    QCOMPARE(rig.find<QLabel>(u"simulationHint"_s)->isVisible(), !withProbe);
    QVERIFY(rig.find<QLabel>(u"simulationHint"_s)->text().contains(u"--simulate-probe"_s));
}

void TestStartupStatusWindow::leaveClosesFailedWindow() {
    StatuRig rig(false);
    QVERIFY(!rig.find<QPushButton>(u"leaveButton"_s)->isVisible());
    rig.run();
    QVERIFY(rig.find<LedLamp>(u"signalLamp"_s)->isBlinking());
    QCOMPARE(rig.find<LedLamp>(u"signalLamp"_s)->blinkPeriod(), 200);
    QTest::mouseClick(rig.find<QPushButton>(u"leaveButton"_s), Qt::LeftButton);
    QVERIFY(!rig.window->isVisible());
    QCOMPARE(rig.window->result(), int(QDialog::Rejected));
    QVERIFY(!rig.find<LedLamp>(u"signalLamp"_s)->isBlinking());
    QVERIFY(!rig.status.ready);
}

void TestStartupStatusWindow::lampsLightInTurn() {
    StatuRig rig(false);
    const int thresholds[] = {200, 400, 600, 800, 1000, 1200};
    int passes = 0;
    rig.time.setOnPump([&](quint32) {
        if (!rig.window->isRunning())
            return;
        ++passes;
        const int position = rig.find<GradientProgressBar>(u"progressBar"_s)->value();
        QVERIFY(rig.find<LedLamp>(u"usbLamp1"_s)->isOn());
        for (int i = 0; i < 6; ++i)
            QCOMPARE(rig.find<LedLamp>(u"usbLamp%1"_s.arg(i + 2))->isOn(), position > thresholds[i]);
        // The rows are filled in while the bar is between 301 and 399.
        if (position < 301)
            QVERIFY(rig.find<QLabel>(u"serialLabel"_s)->text().isEmpty());
        if (position >= 301 && position <= 399)
            QCOMPARE(rig.find<QLabel>(u"serialLabel"_s)->text(), u"None!"_s);
    });
    rig.run();
    QVERIFY(passes >= 130);
}

void TestStartupStatusWindow::finishingWorkRunsWhenReady_data() {
    QTest::addColumn<bool>("withProbe");
    QTest::addColumn<int>("conversions");
    QTest::newRow("ready") << true << 1;
    QTest::newRow("not ready") << false << 0;
}

// The take-over of an older database must run once the probe is ready, never without it.
void TestStartupStatusWindow::finishingWorkRunsWhenReady() {
    QFETCH(bool, withProbe);
    QFETCH(int, conversions);
    StatuRig rig(withProbe);
    rig.finishingMovesBar = true;
    rig.run();
    QCOMPARE(rig.conversions, conversions);
    if (conversions)
        QCOMPARE(rig.find<GradientProgressBar>(u"progressBar"_s)->value(), 650);
}

void TestStartupStatusWindow::unplugDuringSequence() {
    StatuRig rig;
    bool unplugged = false;
    rig.time.setOnPump([&](quint32) {
        if (!unplugged && rig.find<GradientProgressBar>(u"progressBar"_s)->value() > 500) {
            unplugged = true;
            rig.sim.unplug();
        }
    });
    rig.run();
    QVERIFY(unplugged);
    QVERIFY(!rig.link.probeHeld());
    QVERIFY(rig.status.ready); // plug and unplug do not change readiness
    QVERIFY(!rig.log().contains(u"IFFFFFF"_s));
    QVERIFY(!rig.window->isVisible());
}

void TestStartupStatusWindow::slowProbeStillShowsRows() {
    StatuRig rig;
    rig.sim.probe().setLatency(340);
    rig.run();
    QVERIFY(rig.status.ready);
    QCOMPARE(rig.find<QLabel>(u"serialLabel"_s)->text(), u"QX2607004217"_s);
    QCOMPARE(rig.find<QLabel>(u"hardwareLabel"_s)->text(), u"QX-HID Rev 2.10"_s);
}

void TestStartupStatusWindow::openErrorShownWithMessage() {
    VirtualTime time;
    ScriptedHidLayer hid(time);
    hid.unplug();
    hid.setLastError(u"/dev/hidraw3: Permission denied"_s);
    ProbeLink link(hid, time, time);
    link.registerDeviceChange();
    DeviceStatus status;
    StartupStatusWindow window(link, time, time, status);
    window.show();
    QCoreApplication::processEvents();
    QCOMPARE(test::control<QStatusBar>(&window, u"statusBar"_s)->currentMessage(),
             u"O.R.L.U.并未启动！请检查电源是否开启，USB联机是否正常。 (/dev/hidraw3: Permission denied)"_s);
}

} // namespace orlu

QTEST_MAIN(orlu::TestStartupStatusWindow)
#include "test_startupstatuswindow.moc"
