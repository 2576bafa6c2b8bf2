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
    QCOMPARE(rig.child<NeedleGauge>(u"previousStandardGauge"_s)->value(), 4000.0);
    QCOMPARE(rig.child<NeedleGauge>(u"previousStandardGauge"_s)->maximum(), 5000.0);
    QCOMPARE(rig.child<NeedleGauge>(u"standardChangeGauge"_s)->minimum(), -10.0);
    QCOMPARE(rig.child<GradientProgressBar>(u"standardProgressBar"_s)->maximum(), 2600);
    QVERIFY(rig.enabled(u"start"_s));
    QVERIFY(rig.enabled(u"leave"_s));
    QVERIFY(!rig.enabled(u"stop"_s));
    QCOMPARE(rig.child<QAction>(u"stopAction"_s)->toolTip(), u"停止仪器校准功能"_s);
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
    QVERIFY(qAbs(rig.child<NeedleGauge>(u"standardChangeGauge"_s)->value() - 4.884) < 0.001);
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
    QCOMPARE(rig.settings.standardCalibration, 2498);
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
    rig.gripReading = 4104;
    rig.click(u"start"_s);
    rig.gripReading = 2500;
    rig.click(u"start"_s);
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
    auto *list = rig.child<QTreeWidget>(u"historyList"_s);
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(2), u"失败"_s); // newest first
    QCOMPARE(list->topLevelItem(1)->text(3), u"4100"_s);

    auto *period = rig.child<QSpinBox>(u"reminderDaysBox"_s);
    QCOMPARE(period->value(), CalibrationLog::DefaultReminderDays);
    period->setValue(14);
    emit period->editingFinished();
    QCOMPARE(CalibrationLog(log).reminderDays(), 14);
}

QTEST_MAIN(TestCalibrationWindow)
#include "test_calibrationwindow.moc"
