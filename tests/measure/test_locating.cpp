#include "measure/locating.h"

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

struct Rig final : LocatingObserver {
    VirtualTime time;
    ScriptedProbe probe{time};
    ScriptedPrompter prompter;
    Settings settings = defaultSettings(QDate(2026, 1, 5));
    LocatingRun run{settings, probe, prompter, time, time};
    QList<LocatingView> shown;
    // The reading at ms since the run started.
    std::function<int(quint32 ms)> readingAt = [](quint32) { return 0; };
    quint32 stopAfterMs = 2000;
    quint32 startedAt = 0;

    Rig() {
        settings.standardCalibration = 4000; // S = 20
        run.setObserver(this);
        probe.setReadings([this] {
            const quint32 ms = time.ticks() - startedAt;
            if (ms >= stopAfterMs)
                run.stop();
            return readingAt(ms);
        });
    }
    void locatingShown(const LocatingView &view) override { shown << view; }
    bool start() {
        startedAt = time.ticks();
        return run.start();
    }
    // The view as it was last shown while the run was in contact.
    std::optional<LocatingView> lastInContact() const {
        for (auto it = shown.rbegin(); it != shown.rend(); ++it)
            if (it->running && it->liveBar > 0)
                return *it;
        return std::nullopt;
    }
};

} // namespace

class TestLocating : public QObject {
    Q_OBJECT
private slots:
    void classificationAgainstTheHighest_data();
    void classificationAgainstTheHighest();
    void contactAtSensitivityTimesScale_data();
    void contactAtSensitivityTimesScale();
    void searchRemembersTheHighestAndCapsBars();
    void locatingModeShowsTheDistance_data();
    void locatingModeShowsTheDistance();
    void reportsEveryQuarterSecondWithSound_data();
    void reportsEveryQuarterSecondWithSound();
    void modeChoiceAfterAStop_data();
    void modeChoiceAfterAStop();
    void openingKeepsTheHighestOnlyWhenAsked_data();
    void openingKeepsTheHighestOnlyWhenAsked();
    void clearingTheHighest();
    void highPotentialKeepsTheStandardScale();
    void unplugEndsTheRun_data();
    void unplugEndsTheRun();
};

void TestLocating::classificationAgainstTheHighest_data() {
    QTest::addColumn<double>("live");
    QTest::addColumn<int>("position");
    QTest::newRow("30.0 off") << 30.0 << int(PointPosition::Off);
    QTest::newRow("30.1 near") << 30.1 << int(PointPosition::Near);
    QTest::newRow("38.0 near") << 38.0 << int(PointPosition::Near);
    QTest::newRow("38.1 on") << 38.1 << int(PointPosition::On);
}

void TestLocating::classificationAgainstTheHighest() {
    QFETCH(double, live);
    QFETCH(int, position);
    QCOMPARE(int(LocatingRun::classify(live, 40.0)), position);
    // The same through a run: reading units at S = 20.
    Rig rig;
    rig.settings.locateKeepHighest = true;
    rig.settings.locateHighestReading = 40.0;
    rig.run.open();
    rig.readingAt = [&](quint32) { return int(std::lround(live * 20)); };
    QVERIFY(rig.start());
    const ShadedText expected = LocatingRun::stateText(PointPosition(position));
    const auto seen = rig.lastInContact();
    QVERIFY(seen);
    QCOMPARE(seen->state, expected);
    static const QStringList texts{u"不在穴道位置"_s, u"接近穴道位置"_s, u"正确穴道位置"_s};
    QCOMPARE(expected.text, texts.at(position));
}

void TestLocating::contactAtSensitivityTimesScale_data() {
    QTest::addColumn<int>("reading");
    QTest::addColumn<bool>("contact");
    QTest::newRow("99") << 99 << false;
    QTest::newRow("100") << 100 << true;
}

void TestLocating::contactAtSensitivityTimesScale() {
    QFETCH(int, reading);
    QFETCH(bool, contact);
    Rig rig;
    rig.settings.locateParameter = 5;
    rig.run.open();
    QCOMPARE(rig.run.contactLevel(), 100.0);
    rig.readingAt = [&](quint32) { return reading; };
    QVERIFY(rig.start());
    QCOMPARE(rig.lastInContact().has_value(), contact);
    QCOMPARE(rig.probe.tones().contains(9), contact);
    QCOMPARE(rig.settings.locateHighestReading, contact ? 5.0 : 0.0);
}

void TestLocating::searchRemembersTheHighestAndCapsBars() {
    Rig rig;
    rig.run.open();
    QCOMPARE(rig.run.view().mode, LocatingMode::Search);
    QVERIFY(!rig.run.view().modeChoiceEnabled);
    rig.readingAt = [](quint32 ms) { return ms < 1000 ? 800 : 4094; }; // 40.0 uA, then 204.7 uA
    QVERIFY(rig.start());
    const auto seen = rig.lastInContact();
    QVERIFY(seen);
    QCOMPARE(seen->live, 204.7);
    QCOMPARE(seen->liveBar, 2000);
    QCOMPARE(seen->highest, 204.7);
    QCOMPARE(seen->highestBar, 2000);
    QVERIFY(seen->modeChoiceEnabled);
    QCOMPARE(seen->meter, 0); // the level meter follows only in locating mode
    QCOMPARE(rig.settings.locateHighestReading, 204.7);
    const LocatingView &end = rig.run.view();
    QCOMPARE(end.liveBar, 0);
    QCOMPARE(end.live, 0.0);
    QCOMPARE(end.state, (ShadedText{u"无"_s, Shade::Black}));
    QVERIFY(end.searchLamp.on && !end.locatingLamp.on);
    QCOMPARE(end.stateLamp, (LampView{true, Shade::Black, false}));
    QVERIFY(!end.liveLamp.on && !end.highestLamp.on);
}

void TestLocating::locatingModeShowsTheDistance_data() {
    QTest::addColumn<int>("reading");
    QTest::addColumn<double>("balance");
    QTest::addColumn<int>("meter");
    QTest::newRow("30 above") << 1400 << 20.0 << 700;
    QTest::newRow("5 above") << 900 << 5.0 << 450;
    QTest::newRow("30 below") << 200 << -20.0 << 100;
}

void TestLocating::locatingModeShowsTheDistance() {
    QFETCH(int, reading);
    QFETCH(double, balance);
    QFETCH(int, meter);
    Rig rig;
    rig.settings.locateKeepHighest = true;
    rig.settings.locateHighestReading = 40.0;
    rig.run.open();
    const LocatingView &opened = rig.run.view();
    QCOMPARE(opened.mode, LocatingMode::Locating);
    QVERIFY(opened.modeChoiceEnabled);
    QCOMPARE(opened.highestBar, 400);
    QCOMPARE(opened.meterMaximum, 400);
    QCOMPARE(opened.meterGreenEnd, 320);
    QCOMPARE(opened.meterYellowEnd, 380);
    rig.readingAt = [&](quint32) { return reading; };
    QVERIFY(rig.start());
    const auto seen = rig.lastInContact();
    QVERIFY(seen);
    QCOMPARE(seen->balance, balance);
    QCOMPARE(seen->meter, meter);
    QCOMPARE(rig.settings.locateHighestReading, 40.0); // H does not follow in locating mode
    QCOMPARE(rig.run.view().meter, 0);
    QCOMPARE(rig.run.view().balance, 0.0);
}

void TestLocating::reportsEveryQuarterSecondWithSound_data() {
    QTest::addColumn<bool>("locating");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<int>("tone");
    QTest::newRow("search") << false << true << 9;
    QTest::newRow("search, silent") << false << false << 0;
    QTest::newRow("locating, on the point") << true << true << 12;
    QTest::newRow("locating, silent") << true << false << 0;
}

void TestLocating::reportsEveryQuarterSecondWithSound() {
    QFETCH(bool, locating);
    QFETCH(bool, sound);
    QFETCH(int, tone);
    Rig rig;
    rig.settings.locateSound = sound;
    rig.settings.locateKeepHighest = locating;
    rig.settings.locateHighestReading = locating ? 40.0 : 0.0;
    rig.run.open();
    rig.readingAt = [](quint32) { return 800; };
    rig.stopAfterMs = 2100;
    QVERIFY(rig.start());
    const QList<int> &tones = rig.probe.tones();
    if (!sound) {
        QVERIFY(tones.isEmpty());
        return;
    }
    QVERIFY(std::all_of(tones.begin(), tones.end(), [&](int t) { return t == tone; }));
    QVERIFY2(tones.size() >= 7 && tones.size() <= 8, qPrintable(QString::number(tones.size())));
}

void TestLocating::modeChoiceAfterAStop_data() {
    QTest::addColumn<int>("reading");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("H equal to the sensitivity") << 100 << false;
    QTest::newRow("H above the sensitivity") << 101 << true;
}

void TestLocating::modeChoiceAfterAStop() {
    QFETCH(int, reading);
    QFETCH(bool, enabled);
    Rig rig;
    rig.settings.locateParameter = 5;
    rig.run.open();
    rig.readingAt = [&](quint32) { return reading; };
    QVERIFY(rig.start());
    QVERIFY(rig.lastInContact()->modeChoiceEnabled); // while running, any new highest enables them
    QCOMPARE(rig.run.view().modeChoiceEnabled, enabled);
    QVERIFY(rig.run.view().highOptionEnabled);
    QCOMPARE(rig.probe.controlCommands(),
             (QStringList{u"X000000"_s, u"N000000"_s, u"L000000"_s, u"X000000"_s}));
}

void TestLocating::openingKeepsTheHighestOnlyWhenAsked_data() {
    QTest::addColumn<bool>("keep");
    QTest::addColumn<int>("sensitivity");
    QTest::addColumn<double>("highest");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("shownSensitivity");
    QTest::newRow("kept") << true << 7 << 35.5 << int(LocatingMode::Locating) << 7;
    QTest::newRow("not kept") << false << 7 << 0.0 << int(LocatingMode::Search) << 7;
    QTest::newRow("sensitivity raised to 2") << true << 0 << 35.5 << int(LocatingMode::Locating) << 2;
}

void TestLocating::openingKeepsTheHighestOnlyWhenAsked() {
    QFETCH(bool, keep);
    QFETCH(int, sensitivity);
    QFETCH(double, highest);
    QFETCH(int, mode);
    QFETCH(int, shownSensitivity);
    Rig rig;
    rig.settings.locateKeepHighest = keep;
    rig.settings.locateHighestReading = 35.5;
    rig.settings.locateParameter = sensitivity;
    rig.run.open();
    QCOMPARE(rig.settings.locateHighestReading, highest);
    QCOMPARE(rig.run.view().highest, highest);
    QCOMPARE(int(rig.run.view().mode), mode);
    QCOMPARE(rig.settings.locateParameter, shownSensitivity);
    QCOMPARE(rig.run.view().state, (ShadedText{u"无"_s, Shade::Black}));
    const bool search = mode == int(LocatingMode::Search);
    QCOMPARE(rig.run.view().searchLamp.on, search);
    QCOMPARE(rig.run.view().locatingLamp.on, !search);
    QCOMPARE(rig.run.view().highestLamp.shade, search ? Shade::Red : Shade::Blue);
}

void TestLocating::clearingTheHighest() {
    Rig rig;
    rig.settings.locateKeepHighest = true;
    rig.settings.locateHighestReading = 35.5;
    rig.run.open();
    rig.run.clearHighest();
    const LocatingView &v = rig.run.view();
    QCOMPARE(rig.settings.locateHighestReading, 0.0);
    QCOMPARE(v.mode, LocatingMode::Search);
    QCOMPARE(v.highestBar, 0);
    QVERIFY(!v.modeChoiceEnabled);
    QCOMPARE(v.state, (ShadedText{u"记忆最高数据模式"_s, Shade::Blue}));
    QCOMPARE(rig.probe.tones(), QList<int>{1});
    rig.settings.locateSound = false;
    rig.run.clearHighest();
    QCOMPARE(rig.probe.tones(), QList<int>{1});
}

void TestLocating::highPotentialKeepsTheStandardScale() {
    Rig rig;
    rig.settings.highCalibration = 3000;
    rig.run.open();
    rig.run.setHighPotential(true);
    QVERIFY(rig.run.view().high);
    QCOMPARE(rig.run.view().potentialLamp, (LampView{true, Shade::Red, false}));
    rig.readingAt = [](quint32) { return 600; };
    QVERIFY(rig.start());
    QCOMPARE(rig.probe.controlCommands().at(2), u"H000000"_s);
    QCOMPARE(rig.settings.locateHighestReading, 30.0);
}

void TestLocating::unplugEndsTheRun_data() {
    QTest::addColumn<int>("reading");
    QTest::newRow("waiting for contact") << 0;
    QTest::newRow("in contact") << 800;
}

void TestLocating::unplugEndsTheRun() {
    QFETCH(int, reading);
    Rig rig;
    rig.run.open();
    rig.stopAfterMs = 1000000;
    rig.readingAt = [&](quint32 ms) {
        if (ms > 500)
            rig.probe.unplug();
        return reading;
    };
    QVERIFY(rig.start());
    QVERIFY(rig.run.endedByProbeLoss());
    QVERIFY(!rig.run.isRunning());
    QCOMPARE(rig.prompter.texts(), QStringList{ProbeWatch::lostMessage()});
    QVERIFY(rig.run.view().highOptionEnabled);
    QVERIFY(rig.time.ticks() - rig.startedAt < 1000);

    rig.probe.replug();
    rig.readingAt = [](quint32) { return 800; };
    rig.stopAfterMs = 1000;
    QVERIFY(rig.start());
    QVERIFY(!rig.run.endedByProbeLoss());
    QCOMPARE(rig.settings.locateHighestReading, 40.0);
}

QTEST_GUILESS_MAIN(TestLocating)
#include "test_locating.moc"
