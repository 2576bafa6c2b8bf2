#include "device/simulatedhidlayer.h"
#include "device/ui/simulatedprobewindow.h"
#include "support/virtualtime.h"
#include "support/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using namespace Qt::StringLiterals;
using orlu::test::VirtualTime;

namespace orlu {

// The simulation tool window changes what the simulated probe touches and plugs it in and out.
class TestSimulatedProbeWindow : public QObject {
    Q_OBJECT

private slots:
    void skinFollowsRadio_data();
    void skinFollowsRadio();
    void pointCurrentOnlyOnPoint();
    void plugButtonUnplugsAndReplugs();
    void latencyReachesProbe();
    void scenarioAndTipReachTheProbe();
};

void TestSimulatedProbeWindow::skinFollowsRadio_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("skin");
    QTest::newRow("lifted") << u"liftedRadio"_s << int(SkinModel::Lifted);
    QTest::newRow("point") << u"pointRadio"_s << int(SkinModel::OnPoint);
    QTest::newRow("grip") << u"gripRadio"_s << int(SkinModel::OnGrip);
    QTest::newRow("auto") << u"autoRadio"_s << int(SkinModel::Auto);
}

void TestSimulatedProbeWindow::skinFollowsRadio() {
    QFETCH(QString, radio);
    QFETCH(int, skin);
    VirtualTime time;
    SimulatedHidLayer sim(time, SimulatedHidLayer::Timing::Stepped);
    SimulatedProbeOptions options;
    options.skin = SkinModel::OnGrip;
    sim.addProbe(options);
    SimulatedProbeWindow window(sim);
    QVERIFY(test::control<QRadioButton>(&window, u"gripRadio"_s)->isChecked());
    test::control<QRadioButton>(&window, radio)->click();
    QCOMPARE(int(sim.probe().skin()), skin);
}

void TestSimulatedProbeWindow::pointCurrentOnlyOnPoint() {
    VirtualTime time;
    SimulatedHidLayer sim(time, SimulatedHidLayer::Timing::Stepped);
    sim.addProbe();
    SimulatedProbeWindow window(sim);
    auto *current = test::control<QDoubleSpinBox>(&window, u"currentSpin"_s);
    QVERIFY(!current->isEnabled());
    test::control<QRadioButton>(&window, u"pointRadio"_s)->click();
    QVERIFY(current->isEnabled());
    current->setValue(72.5);
    QCOMPARE(sim.probe().pointCurrent(), 72.5);
}

void TestSimulatedProbeWindow::plugButtonUnplugsAndReplugs() {
    VirtualTime time;
    SimulatedHidLayer sim(time, SimulatedHidLayer::Timing::Stepped);
    sim.addProbe();
    SimulatedProbeWindow window(sim);
    auto *plug = test::control<QPushButton>(&window, u"plugButton"_s);
    QCOMPARE(plug->text(), u"拔出探测棒"_s);
    QTest::mouseClick(plug, Qt::LeftButton);
    QVERIFY(!sim.isPluggedIn());
    QCOMPARE(plug->text(), u"插入探测棒"_s);
    QVERIFY(test::control<QLabel>(&window, u"stateLabel"_s)->text().startsWith(u"未连接"_s));
    QTest::mouseClick(plug, Qt::LeftButton);
    QVERIFY(sim.isPluggedIn());
}

void TestSimulatedProbeWindow::latencyReachesProbe() {
    VirtualTime time;
    SimulatedHidLayer sim(time, SimulatedHidLayer::Timing::Stepped);
    sim.addProbe();
    SimulatedProbeWindow window(sim);
    test::control<QSpinBox>(&window, u"latencySpin"_s)->setValue(120);
    QCOMPARE(sim.probe().latency(), 120);
}

void TestSimulatedProbeWindow::scenarioAndTipReachTheProbe() {
    VirtualTime time;
    SimulatedHidLayer sim(time, SimulatedHidLayer::Timing::Stepped);
    sim.addProbe();
    SimulatedProbeWindow window(sim);
    auto *scenario = test::control<QComboBox>(&window, u"scenarioCombo"_s);
    QVERIFY(scenario);
    QCOMPARE(scenario->count(), 4);
    scenario->setCurrentIndex(scenario->findText(u"穴道定位"_s));
    emit scenario->activated(scenario->currentIndex());
    QCOMPARE(sim.probe().scenario(), AutoOperator::Scenario::Locating);
    auto *dry = test::control<QCheckBox>(&window, u"dryTipCheck"_s);
    QVERIFY(dry);
    dry->click();
    QVERIFY(sim.probe().dryTip());
    // Lifted by hand, the operator has nothing to play.
    test::control<QRadioButton>(&window, u"liftedRadio"_s)->click();
    QVERIFY(!scenario->isEnabled());
}

} // namespace orlu

QTEST_MAIN(orlu::TestSimulatedProbeWindow)
#include "test_simulatedprobewindow.moc"
