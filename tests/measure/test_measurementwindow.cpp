#include "measure/ui/measurementwindow.h"
#include "support/controls.h"

#include "core/channels.h"
#include "core/currentmeasurement.h"
#include "core/daycount.h"
#include "core/numberformat.h"
#include "core/settings.h"
#include "measure/pointpictures.h"
#include "measure/ui/manualentrywindow.h"
#include "runoperator.h"
#include "scriptedprobe.h"
#include "support/scriptedprompter.h"
#include "support/virtualtime.h"
#include "support/windowdriver.h"
#include "widgets/tracearea.h"
#include "widgets/valuegrid.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(orlu::SaveChoice)

namespace {

struct WindowRig {
    VirtualTime time;
    ScriptedProbe probe{time};
    ScriptedPrompter prompter;
    CurrentMeasurement measurement;
    Settings settings = defaultSettings(QDate(2026, 12, 9));
    int settingsSaves = 0;
    MeasurementHandOvers handOvers;
    QString pictureFolder;
    std::unique_ptr<MeasurementWindow> window;
    std::unique_ptr<RunOperator> op;

    explicit WindowRig(QString pictures = QString())
        : pictureFolder(std::move(pictures)) {}

    MeasurementWindow &open() {
        const ProbeWindowContext services{
            settings, [this] { return ++settingsSaves, true; }, probe, prompter, time, time};
        MeasurementWindowContext context{services, measurement, pictureFolder};
        window = std::make_unique<MeasurementWindow>(context, handOvers);
        op = std::make_unique<RunOperator>(time, window->run());
        probe.setReadings([this] { return op->reading(); });
        window->show();
        return *window;
    }
    template <typename T> T *child(const QString &name) const { return test::control<T>(window.get(), name); }
    QString text(const QString &label) const { return child<QLabel>(label)->text(); }
    bool enabled(const QString &action) const { return window->action(action + u"Action"_s)->isEnabled(); }
    void click(const QString &button) {
        QTest::mouseClick(child<QToolButton>(button + u"Button"_s), Qt::LeftButton);
    }
    void clickCell(int channel) {
        ValueGrid *grid = child<ValueGrid>(u"valueGrid"_s);
        const GridCell cell = gridCellOfChannel(channel);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->cellRect(cell.row, cell.column).center());
    }
};

QString shotFolder() {
    return qEnvironmentVariable("ORLU_MEASURE_SHOTS");
}

void fillValues(CurrentMeasurement &m, double v, int zeroChannel = 0) {
    std::array<double, 24> values;
    values.fill(v);
    if (zeroChannel)
        values[zeroChannel - 1] = 0;
    m.setAllValues(values);
}

} // namespace

class TestMeasurementWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fullRunFillsTheGrid();
    void runningStateEnablesOnlyStop();
    void subjectGroupTakesTheTracePlace();
    void liveValueRisesDuringThePoint();
    void thresholdControlsStayEqual_data();
    void thresholdControlsStayEqual();
    void thresholdChangeReachesTheRunningRun();
    void clickingACellSelectsThePoint();
    void stopButtonEndsAtTheNextCheck();
    void pulledProbeReturnsTheWindowToIdle();
    void tooLongNoLeavesAnalysisDisabled();
    void enablingFollowsTheMeasurement_data();
    void enablingFollowsTheMeasurement();
    void readOnlyRegisterOffersNoSaving();
    void clearButton_data();
    void clearButton();
    void birthDateAndAge_data();
    void birthDateAndAge();
    void usageCounterAfterAnalysis_data();
    void usageCounterAfterAnalysis();
    void closingStoresTheHighChoice();
    void closingIsRefusedDuringARun();
    void leavingAnUnsavedRunAsksToSave_data();
    void leavingAnUnsavedRunAsksToSave();
    void handOverHidesWithoutEndingTheModalLoop();
    void readingFollowsTheLoadedPotential();
    void manualEntryFillsTheWindow();
    void missingPictureKeepsTheRunGoing();

private:
    QTemporaryDir m_pictures;
};

void TestMeasurementWindow::initTestCase() {
    QVERIFY(m_pictures.isValid());
    const QString folder = m_pictures.path() + u"/Data/"_s;
    QVERIFY(QDir().mkpath(folder));
    // Only the photo style, enough for every point the runs show.
    for (int c = 1; c <= ChannelCount; ++c)
        QVERIFY(renderPointPicture(PointPictureStyle::Photo, c)
                    .save(folder + pointPictureName(PointPictureStyle::Photo, c), "BMP"));
}

void TestMeasurementWindow::fullRunFillsTheGrid() {
    WindowRig rig(m_pictures.path() + u"/Data/"_s);
    rig.open();
    const QString shots = shotFolder();
    bool waitingShot = false;
    bool measuringShot = false;
    rig.op->onReading = [&](RunState state, int channel, quint32 since) {
        if (shots.isEmpty())
            return;
        if (!waitingShot && state == RunState::WaitingForContact && channel == 7 && since >= 200) {
            waitingShot = true;
            QVERIFY(rig.window->grab().save(shots + u"/measurement-waiting.png"_s));
        }
        if (!measuringShot && state == RunState::Measuring && channel == 8 && since >= 1700) {
            measuringShot = true;
            QVERIFY(rig.window->grab().save(shots + u"/measurement-measuring.png"_s));
        }
    };
    QElapsedTimer real;
    real.start();
    rig.click(u"measure"_s);
    QVERIFY2(real.elapsed() < 2000, qPrintable(u"%1 ms"_s.arg(real.elapsed())));
    if (!shots.isEmpty())
        QVERIFY(rig.window->grab().save(shots + u"/measurement-done.png"_s));

    ValueGrid *grid = rig.child<ValueGrid>(u"valueGrid"_s);
    for (int c = 1; c <= ChannelCount; ++c)
        QCOMPARE(grid->channelText(c), formatFixed(10.0 + c, 3, 0));
    QVERIFY(rig.measurement.complete());
    QVERIFY(rig.enabled(u"analysis"_s));
    QVERIFY(rig.enabled(u"compare"_s));
    QVERIFY(rig.enabled(u"save"_s));
    QVERIFY(rig.enabled(u"clear"_s));
    QVERIFY(rig.enabled(u"measure"_s));
    QVERIFY(!rig.enabled(u"stop"_s));
    QVERIFY(!grid->isEnabled());
    QCOMPARE(grid->cursorCell().row, 1);
    QCOMPARE(grid->cursorCell().column, 1);
    QVERIFY(rig.child<QGroupBox>(u"tracePanel"_s)->isHidden());
    QVERIFY(!rig.child<QGroupBox>(u"subjectGroup"_s)->isHidden());
    QVERIFY(rig.child<QLabel>(u"pictureLabel"_s)->isHidden());
    QCOMPARE(rig.text(u"valueDisplayLabel"_s), u"[  0.0]"_s);
    // A run that measured every point says so.
    QCOMPARE(rig.text(u"statusTextLabel"_s), u"24 点测量完毕"_s);
    QCOMPARE(rig.text(u"qualityLabel"_s), u"测量质量: 24/24 稳定"_s);
    QCOMPARE(rig.text(u"measuredValueLabel"_s), QString());
    QCOMPARE(rig.text(u"dateLabel"_s), shortDate(QDate(2026, 12, 9)));
    QCOMPARE(rig.text(u"potentialMarkLabel"_s), u"[Standard]"_s);
}

void TestMeasurementWindow::runningStateEnablesOnlyStop() {
    WindowRig rig;
    rig.open();
    bool checked = false;
    rig.op->onReading = [&](RunState state, int channel, quint32 since) {
        if (checked || state != RunState::WaitingForContact || channel != 2 || since < 100)
            return;
        checked = true;
        for (const QString &a : {u"analysis"_s, u"compare"_s, u"manualEntry"_s, u"save"_s, u"clear"_s,
                                 u"leave"_s, u"measure"_s, u"read"_s})
            QVERIFY2(!rig.enabled(a), qPrintable(a));
        QVERIFY(rig.enabled(u"stop"_s));
        QVERIFY(!rig.child<QRadioButton>(u"highPotentialRadio"_s)->isEnabled());
        QVERIFY(rig.child<ValueGrid>(u"valueGrid"_s)->isEnabled());
        QVERIFY(rig.child<QGroupBox>(u"subjectGroup"_s)->isHidden());
        QVERIFY(!rig.child<QGroupBox>(u"tracePanel"_s)->isHidden());
        QCOMPARE(rig.text(u"positionLabel"_s), u"左  手"_s);
        QCOMPARE(rig.text(u"meridianNameLabel"_s), u"手厥阴 心包经"_s);
        QCOMPARE(rig.text(u"pointNameLabel"_s), u"大陵 PC7"_s);
        QCOMPARE(rig.text(u"englishNameLabel"_s), u"Pericardium Meridian(PC)"_s);
        QCOMPARE(rig.text(u"statusTextLabel"_s), MeasuringRun::waitingStatus());
        rig.window->run().stop();
    };
    rig.click(u"measure"_s);
    QVERIFY(checked);
    QVERIFY(!rig.enabled(u"analysis"_s));
    QVERIFY(rig.enabled(u"save"_s));
}

// The two take turns in one place; idle, no empty band is left under the subject.
void TestMeasurementWindow::subjectGroupTakesTheTracePlace() {
    WindowRig rig;
    rig.open();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    auto *subject = rig.child<QGroupBox>(u"subjectGroup"_s);
    auto *trace = rig.child<QGroupBox>(u"tracePanel"_s);
    QVERIFY(trace->isHidden());
    QCOMPARE(subject->geometry(), trace->geometry());
    // The fields sit in the middle of the group, not at its top.
    auto *number = rig.child<QLabel>(u"subjectNumberLabel"_s);
    auto *telephone = rig.child<QLabel>(u"telephoneLabel"_s);
    const int above = number->geometry().top();
    const int below = subject->height() - telephone->geometry().bottom();
    QVERIFY2(qAbs(above - below) < subject->height() / 4, qPrintable(u"%1 %2"_s.arg(above).arg(below)));
    // On a 1366 x 768 laptop the status line at the foot stays in sight.
    QVERIFY(test::fitsSmallScreen(rig.window.get()));
}

void TestMeasurementWindow::liveValueRisesDuringThePoint() {
    WindowRig rig;
    rig.open();
    rig.op->onPoint = [](int) { return 800; }; // a steady 40 uA at C = 4000
    quint32 t0 = 0;
    QString shown;
    QString compensated;
    int traceBefore = 0;
    rig.op->onReading = [&](RunState state, int, quint32) {
        if (state != RunState::Measuring) {
            t0 = 0;
            return;
        }
        if (t0 == 0)
            t0 = rig.time.ticks(); // the baseline reading starts the point's clock
        else if (rig.time.ticks() - t0 == 1250) {
            // What the pass that ended 1.25 s after contact put on screen.
            shown = rig.text(u"measuredValueLabel"_s);
            compensated = rig.text(u"compensatedValueLabel"_s);
            traceBefore = int(rig.child<TraceArea>(u"traceArea"_s)->pointCount());
            rig.window->run().stop();
        }
    };
    rig.click(u"measure"_s);
    QCOMPARE(shown, u"20.00"_s);
    QCOMPARE(compensated, u"17.08"_s); // 20 x 0.8541
    QVERIFY(traceBefore > 900);
    QCOMPARE(rig.measurement.value(1), 40.0);
}

void TestMeasurementWindow::thresholdControlsStayEqual_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("display");
    QTest::newRow("spin to 2.0") << u"thresholdSpin"_s << 20 << u"    2.0"_s;
    QTest::newRow("track bar to 0.5") << u"thresholdSlider"_s << 5 << u"    0.5"_s;
    QTest::newRow("spin to 5.0") << u"thresholdSpin"_s << 50 << u"    5.0"_s;
}

void TestMeasurementWindow::thresholdControlsStayEqual() {
    QFETCH(QString, control);
    QFETCH(int, position);
    QFETCH(QString, display);
    WindowRig rig;
    rig.open();
    QCOMPARE(rig.child<QSpinBox>(u"thresholdSpin"_s)->value(), 10);
    QCOMPARE(rig.child<QLineEdit>(u"thresholdDisplay"_s)->text(), u"    1.0"_s);
    if (control == u"thresholdSpin"_s)
        rig.child<QSpinBox>(control)->setValue(position);
    else
        rig.child<QSlider>(control)->setValue(position);
    QCOMPARE(rig.child<QSpinBox>(u"thresholdSpin"_s)->value(), position);
    QCOMPARE(rig.child<QSlider>(u"thresholdSlider"_s)->value(), position);
    QCOMPARE(rig.child<QLineEdit>(u"thresholdDisplay"_s)->text(), display);
    QCOMPARE(rig.settings.measuringThreshold, position / 10.0);
}

void TestMeasurementWindow::thresholdChangeReachesTheRunningRun() {
    WindowRig rig;
    rig.open();
    rig.op->onPoint = [](int) { return 30; }; // 1.5 uA
    double unitsAfter = 0;
    int readingsAfter = 0;
    rig.op->onReading = [&](RunState state, int, quint32 since) {
        if (state == RunState::WaitingForContact && since == 50 && unitsAfter == 0) {
            rig.child<QSpinBox>(u"thresholdSpin"_s)->setValue(20);
            unitsAfter = rig.window->run().thresholdInUnits();
        }
        if (unitsAfter > 0 && ++readingsAfter == 400)
            rig.window->run().stop();
    };
    rig.click(u"measure"_s);
    QCOMPARE(unitsAfter, 40.0);
    QVERIFY(!rig.measurement.hasData()); // 1.5 uA never makes contact at 2.0 uA
}

void TestMeasurementWindow::clickingACellSelectsThePoint() {
    WindowRig rig;
    rig.open();
    bool clicked = false;
    rig.op->placeDelayMs = 500;
    rig.op->onReading = [&](RunState state, int channel, quint32 since) {
        if (!clicked && state == RunState::WaitingForContact && channel == 3 && since >= 100) {
            clicked = true;
            rig.clickCell(17);
            QCOMPARE(rig.window->run().currentChannel(), 17);
            QCOMPARE(rig.text(u"pointNameLabel"_s), u"丘墟 GB40"_s);
        }
    };
    rig.click(u"measure"_s);
    QVERIFY(clicked);
    ValueGrid *grid = rig.child<ValueGrid>(u"valueGrid"_s);
    QCOMPARE(grid->channelText(3), QString());
    QCOMPARE(grid->channelText(17), u" 27"_s);
    QCOMPARE(grid->channelText(24), u" 34"_s);
    // Clicks while idle select nothing.
    rig.clickCell(5);
    QCOMPARE(rig.measurement.value(5), 0.0);
}

void TestMeasurementWindow::stopButtonEndsAtTheNextCheck() {
    WindowRig rig;
    rig.open();
    rig.op->onReading = [&](RunState state, int channel, quint32 since) {
        if (state == RunState::WaitingForContact && channel == 5 && since == 100)
            rig.click(u"stop"_s);
    };
    rig.click(u"measure"_s);
    QVERIFY(!rig.window->run().isRunning());
    for (int c = 1; c <= ChannelCount; ++c)
        QCOMPARE(rig.measurement.value(c) != 0.0, c <= 4);
    QVERIFY(!rig.enabled(u"analysis"_s));
    QVERIFY(rig.enabled(u"save"_s));
    QCOMPARE(rig.probe.commands().last(), u"X000000"_s);
}

void TestMeasurementWindow::pulledProbeReturnsTheWindowToIdle() {
    WindowRig rig;
    rig.open();
    rig.op->onReading = [&](RunState state, int channel, quint32 since) {
        if (state == RunState::Measuring && channel == 5 && since == 0)
            rig.probe.unplug();
    };
    rig.click(u"measure"_s);
    QVERIFY(!rig.window->run().isRunning());
    QCOMPARE(rig.prompter.texts(), QStringList{ProbeWatch::lostMessage()});
    for (int c = 1; c <= ChannelCount; ++c)
        QCOMPARE(rig.measurement.value(c) != 0.0, c <= 4);
    QVERIFY(rig.enabled(u"measure"_s));
    QVERIFY(rig.enabled(u"leave"_s));
    QVERIFY(!rig.enabled(u"stop"_s));
    // The cut-off run says what it lacks.
    QCOMPARE(rig.text(u"statusTextLabel"_s), u"未完成: 20 点未测量"_s);

    // Without its probe the next run does not start; plugged in again, it does.
    rig.prompter.clear();
    rig.click(u"measure"_s);
    QCOMPARE(rig.prompter.texts(), QStringList{ProbeWatch::absentMessage()});
    rig.probe.replug();
    rig.op->onReading = nullptr;
    rig.click(u"measure"_s);
    QVERIFY(rig.measurement.complete());
}

void TestMeasurementWindow::tooLongNoLeavesAnalysisDisabled() {
    WindowRig rig;
    rig.open();
    rig.op->holdAfterDoneMs = [](int c) { return c == 10 ? 4000u : 0u; };
    rig.prompter.answer(false);
    rig.click(u"measure"_s);
    QCOMPARE(rig.prompter.asked().size(), 1);
    QCOMPARE(rig.prompter.asked().first().text, MeasuringRun::tooLongQuestion());
    QCOMPARE(rig.child<ValueGrid>(u"valueGrid"_s)->channelText(10), u" 20"_s);
    QCOMPARE(rig.measurement.value(11), 0.0);
    QVERIFY(!rig.enabled(u"analysis"_s));
    QVERIFY(!rig.enabled(u"compare"_s));
}

void TestMeasurementWindow::enablingFollowsTheMeasurement_data() {
    QTest::addColumn<int>("filled"); // 0 none, 1 all but one, 2 all
    QTest::addColumn<bool>("analysis");
    QTest::addColumn<bool>("save");
    QTest::newRow("empty") << 0 << false << false;
    QTest::newRow("one channel 0") << 1 << false << true;
    QTest::newRow("complete") << 2 << true << true;
}

// Known before the measurement starts: the save button is off and says why.
void TestMeasurementWindow::readOnlyRegisterOffersNoSaving() {
    WindowRig rig;
    rig.handOvers.savingUnavailable = u"主数据库文件 orlu4.mdb 为只读"_s;
    fillValues(rig.measurement, 42.4, 0);
    rig.open();
    QVERIFY(rig.enabled(u"analysis"_s));
    QVERIFY(!rig.enabled(u"save"_s));
    QCOMPARE(rig.window->action(u"saveAction"_s)->toolTip(), u"主数据库文件 orlu4.mdb 为只读"_s);
}

void TestMeasurementWindow::enablingFollowsTheMeasurement() {
    QFETCH(int, filled);
    QFETCH(bool, analysis);
    QFETCH(bool, save);
    WindowRig rig;
    if (filled)
        fillValues(rig.measurement, 42.4, filled == 1 ? 9 : 0);
    rig.measurement.measuredAt = 46000.5;
    rig.open();
    QCOMPARE(rig.enabled(u"analysis"_s), analysis);
    QCOMPARE(rig.enabled(u"compare"_s), analysis);
    QCOMPARE(rig.enabled(u"save"_s), save);
    QCOMPARE(rig.enabled(u"clear"_s), save);
    QVERIFY(rig.enabled(u"measure"_s));
    QVERIFY(rig.enabled(u"read"_s));
    QVERIFY(!rig.enabled(u"stop"_s));
    QCOMPARE(rig.child<ValueGrid>(u"valueGrid"_s)->channelText(1), filled ? u" 42"_s : QString());
    // Without data the date goes and the measurement takes the chosen potential.
    QCOMPARE(rig.measurement.measuredAt == 0.0, filled == 0);
    QCOMPARE(rig.text(u"dateLabel"_s).isEmpty(), filled == 0);
}

void TestMeasurementWindow::clearButton_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes clears") << true;
    QTest::newRow("no keeps") << false;
}

void TestMeasurementWindow::clearButton() {
    QFETCH(bool, yes);
    WindowRig rig;
    fillValues(rig.measurement, 30);
    rig.measurement.recordKey = 12;
    rig.measurement.subject.number = u"A7"_s;
    rig.measurement.subject.name = u"张三"_s;
    rig.measurement.subject.male = false;
    rig.open();
    rig.prompter.answer(yes);
    rig.click(u"clear"_s);
    QCOMPARE(rig.prompter.asked().size(), 1);
    QCOMPARE(rig.prompter.asked().first().type, MessageType::AskQuestion);
    QCOMPARE(rig.prompter.asked().first().text, MeasurementWindow::clearQuestion());
    QCOMPARE(rig.measurement.hasData(), !yes);
    QCOMPARE(rig.measurement.recordKey, yes ? 0 : 12);
    QCOMPARE(rig.child<ValueGrid>(u"valueGrid"_s)->channelText(24), yes ? QString() : u" 30"_s);
    QCOMPARE(rig.text(u"subjectNameLabel"_s), yes ? QString() : u"张三"_s);
    QCOMPARE(rig.child<QRadioButton>(u"maleRadio"_s)->isChecked(), yes);
    QCOMPARE(rig.enabled(u"analysis"_s), !yes);
    QCOMPARE(rig.enabled(u"save"_s), !yes);
    QCOMPARE(rig.enabled(u"clear"_s), !yes);
    // The corrected values stay as they were.
    QCOMPARE(rig.measurement.correctedValue(14), 30 * 1.2424);
}

void TestMeasurementWindow::birthDateAndAge_data() {
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("age");
    QTest::newRow("1900-01-01 is not given") << QDate(1900, 1, 1) << false << QString();
    QTest::newRow("1980") << QDate(1980, 5, 1) << true << u" 46"_s;
}

void TestMeasurementWindow::birthDateAndAge() {
    QFETCH(QDate, birth);
    QFETCH(bool, shown);
    QFETCH(QString, age);
    WindowRig rig;
    rig.measurement.subject.birthDate = toDayCount(birth);
    rig.open();
    QCOMPARE(rig.text(u"birthDateLabel"_s), shown ? shortDate(birth) : QString());
    QCOMPARE(rig.text(u"ageLabel"_s), age);
}

void TestMeasurementWindow::usageCounterAfterAnalysis_data() {
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("analysis");
    QTest::addColumn<int>("counter");
    QTest::newRow("12 points, analysed") << 12 << true << 1;
    QTest::newRow("11 points, analysed") << 11 << true << 0;
    QTest::newRow("12 points, left without analysis") << 12 << false << 0;
}

void TestMeasurementWindow::usageCounterAfterAnalysis() {
    QFETCH(int, points);
    QFETCH(bool, analysis);
    QFETCH(int, counter);
    WindowRig rig;
    fillValues(rig.measurement, 25);
    int analysed = 0;
    rig.handOvers.analysis = [&](QWidget *) { ++analysed; };
    rig.open();
    rig.op->onReading = [&](RunState state, int channel, quint32) {
        if (state == RunState::WaitingForContact && channel == points + 1)
            rig.window->run().stop();
    };
    rig.click(u"measure"_s);
    QCOMPARE(rig.measurement.pointsSinceCounterUpdate, points);
    if (analysis)
        rig.click(u"analysis"_s);
    rig.click(u"leave"_s);
    QCOMPARE(analysed, analysis ? 1 : 0);
    QCOMPARE(rig.probe.counter(), counter);
    QCOMPARE(rig.measurement.pointsSinceCounterUpdate, counter ? 0 : points);
}

void TestMeasurementWindow::closingStoresTheHighChoice() {
    WindowRig rig;
    rig.open();
    QVERIFY(rig.child<QRadioButton>(u"standardPotentialRadio"_s)->isChecked());
    QTest::mouseClick(rig.child<QRadioButton>(u"highPotentialRadio"_s), Qt::LeftButton);
    QCOMPARE(rig.text(u"potentialMarkLabel"_s), u"[ Hi ]"_s);
    QVERIFY(!rig.measurement.highPotential); // only a measured point changes it
    rig.click(u"leave"_s);
    QVERIFY(rig.settings.highPotential);
    QCOMPARE(rig.settingsSaves, 1);
    QVERIFY(!rig.window->isVisible());
}

void TestMeasurementWindow::leavingAnUnsavedRunAsksToSave_data() {
    QTest::addColumn<SaveChoice>("answer");
    QTest::newRow("储存: saved once the missing points are confirmed, then left") << SaveChoice::Save;
    QTest::newRow("取消 stays") << SaveChoice::Stay;
}

void TestMeasurementWindow::leavingAnUnsavedRunAsksToSave() {
    QFETCH(SaveChoice, answer);
    const bool save = answer == SaveChoice::Save;
    WindowRig rig;
    rig.handOvers.saving = [&](QWidget *) { rig.measurement.readingsUnsaved = false; }; // stored
    rig.open();
    rig.op->onReading = [&](RunState state, int channel, quint32) {
        if (state == RunState::WaitingForContact && channel == 4)
            rig.window->run().stop();
    };
    rig.click(u"measure"_s);
    rig.prompter.answerSave(answer);
    rig.click(u"leave"_s);
    QStringList asked{saveQuestion(UnsavedOccasion::LeaveMeasurementWindow)};
    if (save)
        asked << u"21 个点未测量，仍要储存吗?"_s;
    QCOMPARE(rig.prompter.texts(), asked);
    QCOMPARE(rig.measurement.unsaved(), !save);
    QCOMPARE(rig.window->isVisible(), !save);
    QVERIFY(rig.measurement.value(3) != 0.0);
}

void TestMeasurementWindow::closingIsRefusedDuringARun() {
    WindowRig rig;
    rig.open();
    bool tried = false;
    rig.op->onReading = [&](RunState state, int, quint32 since) {
        if (!tried && state == RunState::WaitingForContact && since == 20) {
            tried = true;
            rig.window->close();
            QVERIFY(rig.window->isVisible());
            QCOMPARE(rig.settingsSaves, 0);
            rig.window->run().stop();
        }
    };
    rig.click(u"measure"_s);
    QVERIFY(tried);
    QVERIFY(rig.window->isVisible());
}

void TestMeasurementWindow::handOverHidesWithoutEndingTheModalLoop() {
    WindowRig rig;
    fillValues(rig.measurement, 50);
    bool hiddenMeanwhile = false;
    rig.handOvers.saving = [&](QWidget *parent) {
        hiddenMeanwhile = !parent->isVisible();
        rig.measurement.recordKey = 99; // the saving window stored it
    };
    rig.open();
    bool stillModalAfterSaving = false;
    QTimer::singleShot(0, rig.window.get(), [&] {
        rig.click(u"save"_s);
        QTimer::singleShot(0, rig.window.get(), [&] {
            stillModalAfterSaving = rig.window->isVisible();
            // The status line tells what was stored.
            QVERIFY(rig.text(u"statusTextLabel"_s).startsWith(u"已储存: 编号 "_s));
            rig.click(u"leave"_s);
        });
    });
    rig.window->exec();
    QVERIFY(hiddenMeanwhile);
    QVERIFY(stillModalAfterSaving);
    QCOMPARE(rig.settingsSaves, 1);
}

void TestMeasurementWindow::readingFollowsTheLoadedPotential() {
    WindowRig rig;
    rig.handOvers.reading = [&](QWidget *) {
        fillValues(rig.measurement, 60);
        rig.measurement.highPotential = true;
        rig.measurement.recordKey = 5;
    };
    rig.open();
    rig.click(u"read"_s);
    QVERIFY(rig.child<QRadioButton>(u"highPotentialRadio"_s)->isChecked());
    QVERIFY(rig.settings.highPotential);
    QCOMPARE(rig.text(u"potentialMarkLabel"_s), u"[ Hi ]"_s);
    QCOMPARE(rig.child<ValueGrid>(u"valueGrid"_s)->channelText(7), u" 60"_s);
    QVERIFY(rig.enabled(u"analysis"_s));
}

void TestMeasurementWindow::manualEntryFillsTheWindow() {
    WindowRig rig;
    rig.open();
    bool entered = false;
    test::onNextModal(rig.window.get(), [&](QWidget *opened) {
        auto *entry = qobject_cast<ManualEntryWindow *>(opened);
        QVERIFY(entry);
        QVERIFY(!rig.window->isVisible());
        entry->grid()->setChannelText(5, u"33"_s);
        QTest::mouseClick(test::control<QRadioButton>(entry, u"highPotentialRadio"_s), Qt::LeftButton);
        QTest::mouseClick(test::control<QToolButton>(entry, u"saveButton"_s), Qt::LeftButton);
        entered = true;
    });
    rig.click(u"manualEntry"_s);
    QVERIFY(entered);
    QVERIFY(rig.window->isVisible());
    QCOMPARE(rig.measurement.value(5), 33.0);
    QCOMPARE(rig.child<ValueGrid>(u"valueGrid"_s)->channelText(5), u" 33"_s);
    QVERIFY(rig.child<QRadioButton>(u"highPotentialRadio"_s)->isChecked());
    QVERIFY(rig.settings.highPotential);
    QVERIFY(rig.enabled(u"save"_s));
}

void TestMeasurementWindow::missingPictureKeepsTheRunGoing() {
    QTemporaryDir empty;
    WindowRig rig(empty.path());
    rig.open();
    QString pictureText;
    QString notice;
    rig.op->onReading = [&](RunState state, int channel, quint32) {
        if (state == RunState::WaitingForContact && channel == 2 && pictureText.isEmpty()) {
            pictureText = rig.text(u"pictureLabel"_s);
            notice = rig.text(u"noticeLabel"_s);
        }
        if (state == RunState::WaitingForContact && channel == 3)
            rig.window->run().stop();
    };
    rig.click(u"measure"_s);
    QCOMPARE(pictureText, u"大陵 PC7"_s);
    QVERIFY(notice.contains(u"PLh2.bmp"_s));
    QCOMPARE(rig.measurement.value(2), 12.0);
}

QTEST_MAIN(TestMeasurementWindow)
#include "test_measurementwindow.moc"
