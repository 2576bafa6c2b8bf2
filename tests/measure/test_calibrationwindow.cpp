#include "measure/ui/calibrationwindow.h"
#include "storage/calibrationlog.h"

#include "core/daycount.h"
#include "probewindowrig.h"
#include "widgets/gradientprogressbar.h"
#include "widgets/ledlamp.h"
#include "widgets/needlegauge.h"

#include <QAction>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

using State = CalibrationProcedure::State;

struct WindowRig : ProbeWindowRig<CalibrationWindow> {
    int gripReading = 4000;
    // Called on every reading with the procedure's state.
    std::function<void(State)> onReading;

    explicit WindowRig(const QString &log = {}) {
        settings.lastCalibrationDate = u"2026/1/5"_s;
        calibrationLog = log;
        makeWindow();
        probe.setReadings([this] {
            const State state = window->procedure().state();
            if (onReading)
                onReading(state);
            switch (state) {
            case State::StandardPhase:
            case State::HighPhase:
                return gripReading;
            case State::WaitingForContact:
                return time.ticks() % 1000 > 300 ? gripReading : 0;
            default:
                return 0;
            }
        });
        window->show();
    }
};

} // namespace

class TestCalibrationWindow : public QObject {
    Q_OBJECT
private slots:
    void openingShowsThePreviousCalibration();
    void gaugesSpanTheCalibrationValues_data();
    void gaugesSpanTheCalibrationValues();
    void calibrationFillsTheWindow();
    void failureStaysOnShow();
    void closingDuringACalibrationIsRefused();
    void everyOutcomeGoesIntoTheLog();
};

void TestCalibrationWindow::openingShowsThePreviousCalibration() {
    WindowRig rig;
    QCOMPARE(rig.window->windowTitle(), u"数字自动校准系统"_s);
    QCOMPARE(rig.text(u"previousStandardLabel"_s), u"4,000"_s.rightJustified(5));
    QCOMPARE(rig.text(u"previousDateLabel"_s), u"2026/1/5"_s);
    QCOMPARE(rig.text(u"dateLabel"_s), shortDate(QDate(2026, 12, 9)));
    QCOMPARE(rig.text(u"standardValueLabel"_s), u"    0"_s);
    QCOMPARE(rig.text(u"statusTextLabel"_s), u"环境校准值为本次与前一次的校准比值。"_s);
    QVERIFY(rig.text(u"resultLabel"_s).isEmpty());
    QVERIFY(rig.child<QLabel>(u"inForceLabel"_s)->isHidden()); // no log to tell it
    QCOMPARE(rig.child<GradientProgressBar>(u"standardProgressBar"_s)->maximum(), 2600);
    QVERIFY(rig.enabled(u"start"_s));
    QVERIFY(rig.enabled(u"leave"_s));
    QVERIFY(!rig.enabled(u"stop"_s));
    QCOMPARE(rig.child<QAction>(u"stopAction"_s)->toolTip(), u"停止仪器校准功能"_s);
}

void TestCalibrationWindow::gaugesSpanTheCalibrationValues_data() {
    QTest::addColumn<QString>("gauge");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value"); // calibrating 4100 and 4104 against 4000 and 3900
    QTest::newRow("previous standard") << u"previousStandardGauge"_s << 0.0 << 5000.0 << 4000.0;
    QTest::newRow("previous high") << u"previousHighGauge"_s << 0.0 << 5000.0 << 3900.0;
    // 4095 units are a 200 % change: 100 units about 5 %, 205 the end of the dial.
    QTest::newRow("standard change") << u"standardChangeGauge"_s << -10.0 << 10.0 << 4.884;
    QTest::newRow("high change") << u"highChangeGauge"_s << -10.0 << 10.0 << 9.963;
    // 4000 units are 100 %: mid-phase, a reading 200 above the phase's first is 5 %.
    QTest::newRow("balance") << u"balanceGauge"_s << -10.0 << 10.0 << 5.0;
}

void TestCalibrationWindow::gaugesSpanTheCalibrationValues() {
    QFETCH(QString, gauge);
    WindowRig rig;
    rig.settings.highCalibration = 3900;
    rig.window->hide();
    rig.window->show();
    auto *dial = rig.child<NeedleGauge>(gauge);
    // The Standard phase's first second, before its samples, reads 200 above its first reading.
    quint32 phaseStart = 0;
    double midPhase = 0;
    rig.gripReading = 4104;
    rig.onReading = [&](State state) {
        if (state != State::StandardPhase)
            return;
        phaseStart = phaseStart ? phaseStart : rig.time.ticks();
        const quint32 in = rig.time.ticks() - phaseStart;
        rig.gripReading = in > 0 && in < 1000 ? 4304 : 4104;
        midPhase = in >= 500 && in < 1000 ? dial->value() : midPhase;
    };
    rig.click(u"start"_s);
    QTEST(dial->minimum(), "minimum");
    QTEST(dial->maximum(), "maximum");
    QFETCH(double, value);
    const double shown = gauge == u"balanceGauge"_s ? midPhase : dial->value();
    QVERIFY2(qAbs(shown - value) < 0.001, qPrintable(QString::number(shown)));
}

void TestCalibrationWindow::calibrationFillsTheWindow() {
    WindowRig rig;
    rig.gripReading = 4104;
    bool sawHigh = false;
    rig.onReading = [&](State state) {
        if (state != State::HighPhase || sawHigh)
            return;
        sawHigh = true;
        QVERIFY(!rig.enabled(u"start"_s));
        QVERIFY(!rig.enabled(u"leave"_s));
        QVERIFY(rig.enabled(u"stop"_s));
        QCOMPARE(rig.text(u"statusTextLabel"_s), u"系统正在执行校准中，请勿将探测棒分开！"_s);
        QCOMPARE(rig.text(u"standardValueLabel"_s), u"4,100"_s.rightJustified(5));
        QCOMPARE(rig.child<LedLamp>(u"standardLamp"_s)->color(), QColor(50, 205, 50));
        QCOMPARE(rig.child<LedLamp>(u"highLamp"_s)->color(), QColor(255, 0, 0));
        QCOMPARE(rig.child<GradientProgressBar>(u"standardProgressBar"_s)->value(), 2600);
    };
    rig.click(u"start"_s);
    QVERIFY(sawHigh);
    QCOMPARE(rig.text(u"highValueLabel"_s), u"4,104"_s.rightJustified(5));
    QCOMPARE(rig.settings.standardCalibration, 4100);
    QCOMPARE(rig.saves, 1);
    QVERIFY(rig.text(u"resultLabel"_s).isEmpty());
    QVERIFY(!rig.child<LedLamp>(u"resultLamp"_s)->isOn());
    QVERIFY(rig.enabled(u"start"_s));
    QVERIFY(!rig.enabled(u"stop"_s));
}

void TestCalibrationWindow::failureStaysOnShow() {
    WindowRig rig;
    rig.gripReading = 2500;
    rig.click(u"start"_s);
    QLabel *result = rig.child<QLabel>(u"resultLabel"_s);
    QCOMPARE(result->text(), u"【校准失败】"_s);
    QCOMPARE(result->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(rig.text(u"statusTextLabel"_s).startsWith(u"检测棒的导电度过低"_s));
    QCOMPARE(rig.settings.standardCalibration, 4000); // the calibration in force stays
}

void TestCalibrationWindow::closingDuringACalibrationIsRefused() {
    WindowRig rig;
    bool tried = false;
    rig.onReading = [&](State state) {
        if (state == State::StandardPhase && !tried) {
            tried = true;
            rig.window->reject();
            QVERIFY(rig.window->isVisible());
        }
    };
    rig.click(u"start"_s);
    QVERIFY(tried);
    QVERIFY(rig.window->isVisible());
    QCOMPARE(rig.saves, 1);
    rig.click(u"leave"_s);
    QVERIFY(!rig.window->isVisible());
}

void TestCalibrationWindow::everyOutcomeGoesIntoTheLog() {
    QTemporaryDir dir;
    const QString log = dir.filePath(CalibrationLogFile);
    WindowRig rig(log);
    QVERIFY(rig.child<QLabel>(u"noHistoryLabel"_s)->isVisible());
    QVERIFY(rig.text(u"previousDateLabel"_s).isEmpty()); // no calibration to date
    auto *list = rig.child<QTreeWidget>(u"historyList"_s);
    int listedWhileHeld = 0; // at once, while the probe is still held
    rig.onReading = [&](State state) {
        if (state == State::WaitingForRelease)
            listedWhileHeld = list->topLevelItemCount();
    };
    rig.gripReading = 4104;
    rig.click(u"start"_s);
    QCOMPARE(listedWhileHeld, 1);
    rig.gripReading = 2500;
    rig.click(u"start"_s);
    QCOMPARE(listedWhileHeld, 2);
    const QString notTaken = u"最近一次校准失败，其数值未采用。"_s;
    QVERIFY(rig.text(u"inForceLabel"_s).endsWith(notTaken));
    const QList<CalibrationEntry> entries = CalibrationLog(log).entries();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].standardValue, 4100);
    QCOMPARE(entries[0].highValue, 4104);
    QCOMPARE(entries[0].sensitivity, 20.5);
    QVERIFY(entries[0].succeeded);
    QCOMPARE(entries[1].standardValue, 2498);
    QVERIFY(!entries[1].succeeded);
    QVERIFY(entries[1].at > 46000);
    QVERIFY(rig.child<QLabel>(u"noHistoryLabel"_s)->isHidden());
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(2), u"失败"_s); // newest first
    QCOMPARE(list->topLevelItem(0)->text(6), u"标准电位值 2498 低于 3000，检测棒的导电度过低"_s);
    QCOMPARE(list->topLevelItem(1)->text(3), u"4100"_s);

    // Opened again, the failed values are nowhere shown as the calibration in force.
    rig.window->hide();
    rig.window->show();
    QCOMPARE(rig.text(u"previousStandardLabel"_s), u"4,100"_s.rightJustified(5));
    QCOMPARE(rig.text(u"previousDateLabel"_s), shortDate(QDate(2026, 12, 9)));
    QVERIFY(rig.text(u"inForceLabel"_s).endsWith(notTaken));

    auto *period = rig.child<QSpinBox>(u"reminderDaysBox"_s);
    QCOMPARE(period->value(), CalibrationLog::DefaultReminderDays);
    period->setValue(14);
    emit period->editingFinished();
    QCOMPARE(CalibrationLog(log).reminderDays(), 14);
}

QTEST_MAIN(TestCalibrationWindow)
#include "test_calibrationwindow.moc"
