#include "measure/ui/locatingwindow.h"

#include "probewindowrig.h"
#include "widgets/gradientprogressbar.h"
#include "widgets/ledlamp.h"
#include "widgets/needlegauge.h"
#include "widgets/segmentedbarmeter.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include <cmath>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

struct WindowRig : ProbeWindowRig<LocatingWindow> {
    quint32 startedAt = 0;
    // The reading at ms since the run started.
    std::function<int(quint32 ms)> readingAt = [](quint32) { return 0; };

    void open() {
        makeWindow();
        probe.setReadings([this] { return readingAt(time.ticks() - startedAt); });
        window->show();
    }
    void click(const QString &button) {
        startedAt = time.ticks();
        ProbeWindowRig::click(button);
    }
};

// A sweep across the point: 18 uA at its edges, 40 uA on it, lifted between sweeps.
int sweep(quint32 ms) {
    const quint32 t = ms % 2000;
    if (t < 300)
        return 0;
    const double phase = (t - 300) / 1700.0;
    return static_cast<int>(std::lround((18 + 22 * std::sin(M_PI * phase)) * 20));
}

} // namespace

class TestLocatingWindow : public QObject {
    Q_OBJECT
private slots:
    void openingShowsTheOptions();
    void optionsAreStoredAtOnceAndSavedOnClose();
    void searchThenLocate();
    void closingDuringARunStopsIt();
};

void TestLocatingWindow::openingShowsTheOptions() {
    WindowRig rig;
    rig.settings.locateSound = false;
    rig.settings.locateHighPotential = true;
    rig.settings.locateParameter = 1;
    rig.open();
    QCOMPARE(rig.window->windowTitle(), u"穴道定位"_s);
    QVERIFY(!rig.child<QCheckBox>(u"soundCheck"_s)->isChecked());
    QVERIFY(rig.child<QCheckBox>(u"highPotentialCheck"_s)->isChecked());
    QCOMPARE(rig.child<QSpinBox>(u"sensitivitySpin"_s)->value(), 2);
    QCOMPARE(rig.child<QSpinBox>(u"sensitivitySpin"_s)->maximum(), 150);
    QVERIFY(rig.child<QRadioButton>(u"searchRadio"_s)->isChecked());
    QVERIFY(!rig.child<QRadioButton>(u"locateRadio"_s)->isEnabled());
    QVERIFY(!rig.enabled(u"clear"_s));
    QCOMPARE(rig.text(u"potentialLabel"_s), u"高电位定位"_s);
    QCOMPARE(rig.child<LedLamp>(u"potentialLamp"_s)->color(), QColor(255, 0, 0));
    QCOMPARE(rig.text(u"stateLabel"_s), u"无"_s);
    QCOMPARE(rig.text(u"highestValueLabel"_s), u"  0.0"_s);
    QVERIFY(rig.enabled(u"start"_s));
    QVERIFY(!rig.enabled(u"stop"_s));
}

void TestLocatingWindow::optionsAreStoredAtOnceAndSavedOnClose() {
    WindowRig rig;
    rig.open();
    rig.child<QCheckBox>(u"keepHighestCheck"_s)->click();
    QVERIFY(rig.settings.locateKeepHighest);
    rig.child<QCheckBox>(u"highPotentialCheck"_s)->click();
    QVERIFY(rig.settings.locateHighPotential);
    QCOMPARE(rig.text(u"potentialLabel"_s), u"高电位定位"_s);
    rig.child<QSpinBox>(u"sensitivitySpin"_s)->setValue(12);
    QCOMPARE(rig.settings.locateParameter, 12);
    QCOMPARE(rig.saves, 0);
    rig.click(u"leave"_s);
    QVERIFY(!rig.window->isVisible());
    QCOMPARE(rig.saves, 1);
}

void TestLocatingWindow::searchThenLocate() {
    WindowRig rig;
    rig.open();
    QStringList states;
    rig.readingAt = [&](quint32 ms) {
        // After three sweeps the operator turns to locating; after three more, stops.
        if (ms >= 6000 && rig.child<QRadioButton>(u"searchRadio"_s)->isChecked())
            rig.child<QRadioButton>(u"locateRadio"_s)->click();
        if (ms >= 12000)
            rig.child<QToolButton>(u"stopButton"_s)->click();
        const QString state = rig.text(u"stateLabel"_s);
        if (states.isEmpty() || states.last() != state)
            states << state;
        return sweep(ms);
    };
    rig.click(u"start"_s);
    QCOMPARE(rig.text(u"highestValueLabel"_s), u" 40.0"_s);
    QCOMPARE(rig.child<GradientProgressBar>(u"highestBar"_s)->value(), 400);
    QVERIFY2(states.contains(u"记忆最高数据模式"_s), qPrintable(states.join(u',')));
    for (const QString &s : {u"不在穴道位置"_s, u"接近穴道位置"_s, u"正确穴道位置"_s})
        QVERIFY2(states.contains(s), qPrintable(states.join(u',')));
    QCOMPARE(rig.child<SegmentedBarMeter>(u"levelMeter"_s)->maximum(), 400);
    QCOMPARE(rig.text(u"stateLabel"_s), u"无"_s);
    QVERIFY(rig.child<QRadioButton>(u"locateRadio"_s)->isEnabled());
    QVERIFY(rig.enabled(u"clear"_s));
    rig.click(u"clear"_s);
    QCOMPARE(rig.settings.locateHighestReading, 0.0);
    QVERIFY(rig.child<QRadioButton>(u"searchRadio"_s)->isChecked());
}

void TestLocatingWindow::closingDuringARunStopsIt() {
    WindowRig rig;
    rig.open();
    bool closed = false;
    rig.readingAt = [&](quint32 ms) {
        if (ms > 1000 && !closed) {
            closed = true;
            rig.window->reject();
        }
        return 800;
    };
    rig.click(u"start"_s);
    QVERIFY(closed);
    QVERIFY(!rig.window->isVisible());
    QVERIFY(!rig.window->run().isRunning());
    QCOMPARE(rig.saves, 1);
    QCOMPARE(rig.settings.locateHighestReading, 40.0);
    QCOMPARE(rig.probe.controlCommands().last(), u"X000000"_s);
}

QTEST_MAIN(TestLocatingWindow)
#include "test_locatingwindow.moc"
