#include "measure/calibration.h"
#include "measure/calibrationstanding.h"

#include "core/daycount.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "scriptedprobe.h"
#include "support/scriptedprompter.h"
#include "support/virtualtime.h"

#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

using State = CalibrationProcedure::State;
using Outcome = CalibrationProcedure::Outcome;

// An operator at the grip: touches it a while after the procedure asks,
// holds it through both phases and lets go a while after the result.
struct Rig final : CalibrationObserver {
    VirtualTime time;
    ScriptedProbe probe{time};
    ScriptedPrompter prompter;
    Settings settings = defaultSettings(QDate(2026, 1, 5));
    int saves = 0;
    CalibrationProcedure procedure{settings, [this] { return ++saves, true; }, probe, prompter, time, time};

    int standardReading = 4000;
    int highReading = 4000;
    quint32 touchAfterMs = 300;
    quint32 holdAfterResultMs = 500;
    // Called on every reading with the state and the ms spent in it; a value
    // other than -1 replaces the reading.
    std::function<int(State state, quint32 sinceMs)> override;

    QList<CalibrationView> shown;
    State lastState = State::Idle;
    quint32 since = 0;

    Rig() {
        settings.standardCalibration = 4000;
        settings.highCalibration = 4000;
        procedure.setObserver(this);
        probe.setReadings([this] { return reading(); });
    }
    void calibrationShown(const CalibrationView &view) override { shown << view; }

    int reading() {
        const State state = procedure.state();
        if (state != lastState) {
            lastState = state;
            since = time.ticks();
        }
        const quint32 in = time.ticks() - since;
        if (override) {
            const int r = override(state, in);
            if (r >= 0)
                return r;
        }
        switch (state) {
        case State::WaitingForContact:
            return in >= touchAfterMs ? standardReading : 3;
        case State::StandardPhase:
            return standardReading;
        case State::HighPhase:
            return highReading;
        case State::WaitingForRelease:
            return in < holdAfterResultMs ? highReading : 2;
        case State::Idle:
            break;
        }
        return 0;
    }
    // The first view shown in a state matching `pick`.
    template <typename P> std::optional<CalibrationView> firstShown(P pick) const {
        for (const CalibrationView &v : shown)
            if (pick(v))
                return v;
        return std::nullopt;
    }
};

int countOf(const QList<int> &list, int v) {
    return static_cast<int>(std::count(list.begin(), list.end(), v));
}

} // namespace

class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void meanOfThePhaseSamples_data();
    void meanOfThePhaseSamples();
    void commandsTonesAndTiming();
    void changeAgainstThePrevious();
    void idleViewShowsThePrevious();
    void lampsThroughThePhases();
    void stopWhileWaitingForContactEnds();
    void stopDuringAPhaseHasNoEffect();
    void lowReadingFromTheSecondTickRestarts_data();
    void lowReadingFromTheSecondTickRestarts();
    void lowStandardValueFailsAndIsOnlyLogged();
    void standingTellsTheCalibrationInForce_data();
    void standingTellsTheCalibrationInForce();
    void unplugEndsEveryWait_data();
    void unplugEndsEveryWait();
    void noProbeNoStart();
};

void TestCalibration::meanOfThePhaseSamples_data() {
    QTest::addColumn<int>("standardReading");
    QTest::addColumn<int>("highReading");
    QTest::addColumn<int>("standardValue");
    QTest::addColumn<int>("highValue");
    QTest::newRow("4000 each") << 4000 << 4000 << 3996 << 4000;
    // 3500 - 3.5 = 3496.5: the half goes to the even neighbour.
    QTest::newRow("half to even") << 3500 << 4100 << 3496 << 4100;
    QTest::newRow("full scale") << 4095 << 4095 << 4091 << 4095;
}

void TestCalibration::meanOfThePhaseSamples() {
    QFETCH(int, standardReading);
    QFETCH(int, highReading);
    QFETCH(int, standardValue);
    QFETCH(int, highValue);
    Rig rig;
    rig.standardReading = standardReading;
    rig.highReading = highReading;
    QVERIFY(rig.procedure.start());

    QCOMPARE(rig.procedure.lastOutcome(), Outcome::Succeeded);
    QCOMPARE(rig.procedure.view().standardValue, standardValue);
    QCOMPARE(rig.procedure.view().highValue, highValue);
    QCOMPARE(rig.settings.standardCalibration, standardValue);
    QCOMPARE(rig.settings.highCalibration, highValue);
    QCOMPARE(rig.settings.lastCalibrationDate, shortDate(QDate(2026, 12, 9)));
    QCOMPARE(rig.saves, 1);
    QVERIFY(rig.prompter.asked().isEmpty());
    QCOMPARE(rig.procedure.view().result.text, QString()); // cleared once the probe is taken away
    QCOMPARE(rig.procedure.view().status, CalibrationProcedure::idleStatus());
    QVERIFY(!rig.procedure.isBusy());
}

void TestCalibration::commandsTonesAndTiming() {
    Rig rig;
    quint32 standardStart = 0, highStart = 0, resultAt = 0;
    rig.override = [&](State state, quint32) {
        const quint32 now = rig.time.ticks();
        if (state == State::StandardPhase && !standardStart)
            standardStart = now;
        if (state == State::HighPhase && !highStart)
            highStart = now;
        if (state == State::WaitingForRelease && !resultAt)
            resultAt = now;
        return -1;
    };
    QVERIFY(rig.procedure.start());
    QCOMPARE(rig.probe.controlCommands(), (QStringList{u"X000000"_s, u"N000000"_s, u"L000000"_s, u"L000000"_s,
                                                       u"H000000"_s, u"X000000"_s}));
    const QList<int> &tones = rig.probe.tones();
    QCOMPARE(tones.first(), 1);
    QCOMPARE(countOf(tones, 7), 17); // the start of measuring and sixteen ticks
    QCOMPARE(countOf(tones, 8), 1);
    QCOMPARE(tones.last(), 1); // success
    // Eight ticks of at least 280 ms each phase.
    QVERIFY2(highStart - standardStart >= 8 * 280 && highStart - standardStart < 8 * 300,
             qPrintable(QString::number(highStart - standardStart)));
    QVERIFY2(resultAt - highStart >= 8 * 280 && resultAt - highStart < 8 * 300,
             qPrintable(QString::number(resultAt - highStart)));
}

void TestCalibration::changeAgainstThePrevious() {
    Rig rig;
    rig.standardReading = 4104; // 4104 - 4.104 rounds to 4100
    rig.highReading = 3900;
    QVERIFY(rig.procedure.start());
    QCOMPARE(rig.procedure.view().standardValue, 4100);
    QVERIFY(qAbs(rig.procedure.view().standardChange - 4.884) < 0.001);
    QVERIFY(qAbs(rig.procedure.view().highChange - (-100.0 / 4095 * 200)) < 1e-9);
    // The previous values stay on show while the new ones are measured.
    QCOMPARE(rig.procedure.view().previousStandard, 4000);
}

void TestCalibration::idleViewShowsThePrevious() {
    Rig rig;
    rig.settings.standardCalibration = 3850;
    rig.settings.highCalibration = 4020;
    rig.settings.lastCalibrationDate = u"2026/3/4"_s;
    rig.procedure.showIdle();
    const CalibrationView &v = rig.procedure.view();
    QCOMPARE(v.previousStandard, 3850);
    QCOMPARE(v.previousHigh, 4020);
    QCOMPARE(v.previousDate, u"2026/3/4"_s);
    QCOMPARE(v.date, shortDate(QDate(2026, 12, 9)));
    QCOMPARE(v.standardValue + v.highValue + v.standardProgress + v.highProgress, 0);
    QCOMPARE(v.status, CalibrationProcedure::idleStatus());
    QVERIFY(v.result.text.isEmpty());
    QVERIFY(!v.busy);
}

void TestCalibration::lampsThroughThePhases() {
    Rig rig;
    QVERIFY(rig.procedure.start());
    const auto waiting =
        rig.firstShown([](const CalibrationView &v) { return v.busy && v.result.text.size(); });
    QVERIFY(waiting);
    QCOMPARE(waiting->standardLamp, (LampView{true, Shade::Yellow, true}));
    QCOMPARE(waiting->resultLamp, (LampView{true, Shade::Yellow, true}));
    QCOMPARE(waiting->result, (ShadedText{CalibrationProcedure::startingLabel(), Shade::DarkRed}));
    QCOMPARE(waiting->status, CalibrationProcedure::contactStatus());

    const auto standard = rig.firstShown([](const CalibrationView &v) { return v.standardProgress > 0; });
    QVERIFY(standard);
    QCOMPARE(standard->standardLamp, (LampView{true, Shade::Red, false}));
    QCOMPARE(standard->highLamp, (LampView{true, Shade::Maroon, false}));
    QCOMPARE(standard->status, CalibrationProcedure::measuringStatus());

    const auto high = rig.firstShown([](const CalibrationView &v) { return v.highProgress > 0; });
    QVERIFY(high);
    QCOMPARE(high->standardLamp, (LampView{true, Shade::LimeGreen, false}));
    QCOMPARE(high->highLamp, (LampView{true, Shade::Red, false}));
    QCOMPARE(high->standardProgress, 2600);
    QCOMPARE(high->standardNumber, 3996.0);
    // The counter climbs by an eighth of the grip reading per tick.
    const auto counting = rig.firstShown([](const CalibrationView &v) { return v.highNumber >= 1000; });
    QVERIFY(counting);
    QCOMPARE(counting->highNumber, 1000.0);

    const auto result =
        rig.firstShown([](const CalibrationView &v) { return v.resultLamp.shade == Shade::LimeGreen; });
    QVERIFY(result);
    QCOMPARE(result->result, (ShadedText{CalibrationProcedure::successLabel(), Shade::Green}));
    QCOMPARE(result->status, CalibrationProcedure::successStatus());
    QCOMPARE(result->highLamp.shade, Shade::LimeGreen);
    QCOMPARE(result->highProgress, 2600);

    const CalibrationView &end = rig.procedure.view();
    QVERIFY(!end.standardLamp.on && !end.highLamp.on && !end.resultLamp.on);
    QCOMPARE(end.standardProgress + end.highProgress, 0);
    QCOMPARE(end.balance, 0.0);
}

void TestCalibration::stopWhileWaitingForContactEnds() {
    Rig rig;
    rig.touchAfterMs = 100000;
    rig.override = [&](State state, quint32 in) {
        if (state == State::WaitingForContact && in > 500)
            rig.procedure.stop();
        return -1;
    };
    QVERIFY(rig.procedure.start());
    QCOMPARE(rig.procedure.lastOutcome(), Outcome::Stopped);
    QCOMPARE(rig.saves, 0);
    QCOMPARE(rig.settings.standardCalibration, 4000);
    QCOMPARE(rig.probe.controlCommands().last(), u"X000000"_s);
    QVERIFY(!rig.procedure.isBusy());
    QVERIFY(rig.procedure.view().result.text.isEmpty());
    QVERIFY(rig.procedure.view().status.isEmpty());
    QVERIFY(!rig.probe.tones().contains(7));
}

void TestCalibration::stopDuringAPhaseHasNoEffect() {
    Rig rig;
    rig.override = [&](State state, quint32 in) {
        if ((state == State::StandardPhase || state == State::HighPhase) && in > 100 && in < 110)
            rig.procedure.stop();
        return -1;
    };
    QVERIFY(rig.procedure.start());
    QCOMPARE(rig.procedure.lastOutcome(), Outcome::Succeeded);
    QCOMPARE(rig.settings.standardCalibration, 3996);
    QCOMPARE(rig.saves, 1);
}

void TestCalibration::lowReadingFromTheSecondTickRestarts_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<quint32>("atMs");
    QTest::addColumn<bool>("fault");
    QTest::newRow("before the first tick") << int(State::StandardPhase) << 100u << false;
    QTest::newRow("after the first tick") << int(State::StandardPhase) << 400u << false;
    QTest::newRow("after the second tick") << int(State::StandardPhase) << 700u << true;
    QTest::newRow("in the high phase") << int(State::HighPhase) << 100u << true;
}

void TestCalibration::lowReadingFromTheSecondTickRestarts() {
    QFETCH(int, state);
    QFETCH(quint32, atMs);
    QFETCH(bool, fault);
    Rig rig;
    bool lifted = false;
    // The tip leaves the grip for one reading, once.
    rig.override = [&](State s, quint32 in) {
        if (!lifted && int(s) == state && in >= atMs) {
            lifted = true;
            return 900;
        }
        return -1;
    };
    QVERIFY(rig.procedure.start());
    QCOMPARE(rig.procedure.lastOutcome(), Outcome::Succeeded);
    QCOMPARE(rig.procedure.view().standardValue, 3996);
    if (!fault) {
        QVERIFY(rig.prompter.asked().isEmpty());
        QCOMPARE(rig.probe.tones().count(3), 0);
        return;
    }
    QCOMPARE(rig.prompter.asked().size(), 1);
    QCOMPARE(rig.prompter.asked().first().type, MessageType::NoteCaution);
    QCOMPARE(rig.prompter.asked().first().text, CalibrationProcedure::faultyContactMessage());
    QCOMPARE(rig.probe.tones().count(3), 1);
    const auto teal =
        rig.firstShown([](const CalibrationView &v) { return v.standardLamp.shade == Shade::Teal; });
    QVERIFY(teal);
    QCOMPARE(teal->highLamp.shade, Shade::Teal);
    // The restart measures both phases again from the Standard potential.
    QCOMPARE(rig.probe.controlCommands().count(u"L000000"_s), 3);
    QCOMPARE(rig.probe.tones().count(8), state == int(State::HighPhase) ? 2 : 1);
}

void TestCalibration::lowStandardValueFailsAndIsOnlyLogged() {
    Rig rig;
    rig.standardReading = 2600;
    rig.highReading = 2800;
    QVERIFY(rig.procedure.start());
    QCOMPARE(rig.procedure.lastOutcome(), Outcome::Failed);
    const CalibrationView &v = rig.procedure.view();
    QCOMPARE(v.result, (ShadedText{CalibrationProcedure::failureLabel(), Shade::Red}));
    QCOMPARE(v.status, CalibrationProcedure::failureStatus());
    QCOMPARE(rig.probe.tones().last(), 3);
    // The calibration in force stays (the window's test sees the failure logged).
    QCOMPARE(rig.settings.standardCalibration, 4000);
    QCOMPARE(rig.settings.highCalibration, 4000);
    QCOMPARE(rig.saves, 0);
    const auto result =
        rig.firstShown([](const CalibrationView &s) { return s.resultLamp.shade == Shade::Red; });
    QVERIFY(result);
    QVERIFY(!result->resultLamp.blinking);
}

void TestCalibration::standingTellsTheCalibrationInForce_data() {
    QTest::addColumn<QList<CalibrationEntry>>("entries");
    QTest::addColumn<int>("standard"); // the settings' values
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("period"); // -1: none stored
    QTest::addColumn<double>("today");
    QTest::addColumn<bool>("dated"); // "前次校准资料" shows the settings' date
    QTest::addColumn<QString>("inForce");
    QTest::addColumn<QString>("notice");
    const CalibrationEntry ok = calibrationEntry(46000.5, 4100, 4104, true);
    const CalibrationEntry failed = calibrationEntry(46010.25, 2498, 2500, false);
    const QList<CalibrationEntry> okOnly{ok};
    const QList<CalibrationEntry> okFailed{ok, failed};
    const auto at = [](int day, int hour) -> QString {
        return shortDate(QDate(2025, 12, day)) + u' ' + shortTime(QTime(hour, 0));
    };
    const QString inForceSince = u"现用校准值：标准电位 4,100、高电位 4,104，自 %1 起使用。"_s;
    const QString inForce = inForceSince.arg(at(9, 12));
    const QString notTaken = u"最近一次校准失败，其数值未采用。"_s;
    const QString overdue = u"距上次成功校准已超过 %1 天，请先校准探测棒。"_s;
    const QString quiet; // no notice
    const QString none = u"现用校准值：标准电位 4,000、高电位 4,000（尚无成功的校准记录）。"_s;

    QTest::newRow("no calibration yet")
        << QList<CalibrationEntry>{} << 4000 << 4000 << -1 << 46100.0 << false << none << quiet;
    // Without a stored period the reminder comes after 30 whole days since the success.
    QTest::newRow("day 30") << okOnly << 4100 << 4104 << -1 << 46030.99 << true << inForce << quiet;
    QTest::newRow("day 31") << okOnly << 4100 << 4104 << -1 << 46031.0 << true << inForce << overdue.arg(30);
    QTest::newRow("week, day 8") << okOnly << 4100 << 4104 << 7 << 46008.0 << true << inForce
                                 << overdue.arg(7);
    QTest::newRow("reminder off") << okOnly << 4100 << 4104 << 0 << 46400.0 << true << inForce << quiet;
    QTest::newRow("a failure keeps the last success, and does not count for the reminder")
        << okFailed << 4100 << 4104 << -1 << 46031.0 << true << inForce + notTaken
        << u"最近一次校准（%1）失败，测量仍使用 %2 的校准值。 "_s.arg(at(19, 6), at(9, 12)) + overdue.arg(30);
    QTest::newRow("a failure before any success")
        << QList<CalibrationEntry>{failed} << 4000 << 4000 << -1 << 46011.0 << false << none + notTaken
        << u"最近一次校准（%1）失败，测量仍使用原有的校准值。"_s.arg(at(19, 6));
    QTest::newRow("a later success ends the failure notice")
        << okFailed + QList{calibrationEntry(46010.5, 4100, 4104, true)} << 4100 << 4104 << -1 << 46011.0
        << true << inForceSince.arg(at(19, 12)) << quiet;
    QTest::newRow("failed values written by an earlier version")
        << okFailed << 2498 << 2500 << -1 << 46011.0 << true
        << u"现用校准值：标准电位 2,498、高电位 2,500，来自 %1 失败的校准，请重新校准。"_s.arg(at(19, 6))
        << u"现用校准值来自 %1 失败的校准，读数不可靠，请先重新校准。"_s.arg(at(19, 6));
    QTest::newRow("values calibrated outside the log")
        << okOnly << 3900 << 3950 << -1 << 46011.0 << true
        << u"现用校准值：标准电位 3,900、高电位 3,950，自 2026/1/5 起使用。"_s << quiet;
}

void TestCalibration::standingTellsTheCalibrationInForce() {
    QFETCH(QList<CalibrationEntry>, entries);
    QFETCH(int, period);
    QFETCH(double, today);
    QFETCH(bool, dated);
    Settings settings = defaultSettings(QDate(2026, 1, 5)); // calibrated "2026/1/5"
    QFETCH(int, standard);
    QFETCH(int, high);
    settings.standardCalibration = standard;
    settings.highCalibration = high;
    QTemporaryDir dir;
    const CalibrationLog log(dir.filePath(CalibrationLogFile));
    for (const CalibrationEntry &e : entries)
        QVERIFY(log.append(e));
    if (period >= 0)
        QVERIFY(log.setReminderDays(period));

    const CalibrationStanding standing(settings, log.entries());
    QTEST(standing.inForceText(), "inForce");
    QTEST(calibrationNotice(settings, dir.filePath(CalibrationLogFile), today), "notice");
    QCOMPARE(standing.previousDate(), dated ? settings.lastCalibrationDate : QString());
}

void TestCalibration::unplugEndsEveryWait_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("stored");
    QTest::newRow("waiting for contact") << int(State::WaitingForContact) << false;
    QTest::newRow("standard phase") << int(State::StandardPhase) << false;
    QTest::newRow("high phase") << int(State::HighPhase) << false;
    QTest::newRow("waiting for release") << int(State::WaitingForRelease) << true;
}

void TestCalibration::unplugEndsEveryWait() {
    QFETCH(int, state);
    QFETCH(bool, stored);
    Rig rig;
    rig.touchAfterMs = state == int(State::WaitingForContact) ? 100000 : 300;
    rig.holdAfterResultMs = 100000;
    rig.override = [&](State s, quint32 in) {
        if (int(s) == state && in > 200)
            rig.probe.unplug();
        return -1;
    };
    QVERIFY(rig.procedure.start());
    QCOMPARE(rig.procedure.lastOutcome(), Outcome::ProbeLost);
    QCOMPARE(rig.prompter.texts(), QStringList{ProbeWatch::lostMessage()});
    QCOMPARE(rig.prompter.asked().first().type, MessageType::NoteError);
    QCOMPARE(rig.saves, stored ? 1 : 0);
    QVERIFY(!rig.procedure.isBusy());
    QVERIFY(!rig.procedure.view().resultLamp.on);

    // Plugged in again, the next calibration runs.
    rig.probe.replug();
    rig.override = nullptr;
    rig.touchAfterMs = 300;
    rig.holdAfterResultMs = 500;
    QVERIFY(rig.procedure.start());
    QCOMPARE(rig.procedure.lastOutcome(), Outcome::Succeeded);
}

void TestCalibration::noProbeNoStart() {
    Rig rig;
    rig.probe.unplug();
    QVERIFY(!rig.procedure.start());
    QCOMPARE(rig.prompter.texts(), QStringList{ProbeWatch::absentMessage()});
    QVERIFY(!rig.procedure.isBusy());
}

QTEST_GUILESS_MAIN(TestCalibration)
#include "test_calibration.moc"
