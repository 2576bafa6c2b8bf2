#include "measure/measuringrun.h"

#include "core/channels.h"
#include "core/currentmeasurement.h"
#include "core/readingquality.h"
#include "pointoperator.h"
#include "quality/verdicts.h"
#include "scriptedprobe.h"
#include "support/scriptedprompter.h"
#include "support/virtualtime.h"

#include <QElapsedTimer>
#include <QtTest>

#include <deque>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

struct Rig {
    VirtualTime time;
    ScriptedProbe probe{time};
    ScriptedPrompter prompter;
    CurrentMeasurement measurement;
    PointOperator op{time};
    MeasuringRun run{measurement, probe, prompter, time, time};

    Rig() {
        probe.setReadings([this] { return op.reading(); });
        run.setObserver(&op);
    }
    bool start(bool high = false, double threshold = 1.0, int calibration = 4000) {
        return run.start(RunParameters{high, calibration, threshold});
    }
};

int countOf(const QList<int> &list, int v) {
    return static_cast<int>(std::count(list.begin(), list.end(), v));
}

} // namespace

class TestMeasuringRun : public QObject {
    Q_OBJECT
private slots:
    void fullRunStoresEveryPoint();
    void potentialCommands_data();
    void potentialCommands();
    void contactNeedsTheMeanAboveThreshold_data();
    void contactNeedsTheMeanAboveThreshold();
    void thresholdChangeTakesEffectAtOnce();
    void liftedProbeRemeasuresSameChannel();
    void selectingAPointWhileWaiting();
    void tooLongQuestion_data();
    void tooLongQuestion();
    void lastPointNeverAsks();
    void stopWaitsForThePointInProgress();
    void unplugEndsEveryWait_data();
    void unplugEndsEveryWait();
    void noProbeNoRun();
    void clearQuestionWithLoadedRecord_data();
    void clearQuestionWithLoadedRecord();
    void meanFromTheThirdTick();
    void storedAndCorrectedValue();
    void remeasureVisitsOnlyTheUnsteadyPoints();
};

void TestMeasuringRun::fullRunStoresEveryPoint() {
    Rig rig;
    rig.measurement.memo = QStringList{u"x"_s};
    QElapsedTimer real;
    real.start();
    QVERIFY(rig.start());
    QVERIFY2(real.elapsed() < 1000, qPrintable(u"a virtual run took %1 ms"_s.arg(real.elapsed())));

    for (int c = 1; c <= ChannelCount; ++c) {
        QCOMPARE(rig.measurement.value(c), 10.0 + c);
        QVERIFY(qFuzzyCompare(rig.measurement.correctedValue(c), (10.0 + c) * correctionFactor(c)));
    }
    QVERIFY(rig.measurement.complete());
    QCOMPARE(rig.measurement.pointsSinceCounterUpdate, 24);
    QCOMPARE(rig.measurement.memo, QStringList{u"x"_s});
    QVERIFY(rig.measurement.measuredAt > 40000);
    QVERIFY(!rig.measurement.highPotential);
    QCOMPARE(rig.measurement.origin.probeSerial, u"QX0001"_s);
    QCOMPARE(rig.op.done.size(), 24);
    QVERIFY(rig.op.dropped.isEmpty());
    QCOMPARE(countOf(rig.probe.tones(), 5), 23);
    QCOMPARE(countOf(rig.probe.tones(), 6), 1);
    QCOMPARE(rig.probe.tones().last(), 6);
    // One contact tone and four ticks per point.
    QCOMPARE(countOf(rig.probe.tones(), 4), 24 * 5);
    QCOMPARE(rig.probe.controlCommands(),
             (QStringList{u"X000000"_s, u"N000000"_s, u"L000000"_s, u"X000000"_s}));
    QCOMPARE(rig.probe.commands().last(), u"X000000"_s);
    QVERIFY(rig.prompter.asked().isEmpty());
    QCOMPARE(rig.run.state(), RunState::Idle);
    QVERIFY(!rig.run.isRunning());
    QCOMPARE(rig.op.ended, 1);
}

void TestMeasuringRun::potentialCommands_data() {
    QTest::addColumn<bool>("high");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("standard") << false << true << QStringList{u"X000000"_s, u"N000000"_s, u"L000000"_s};
    QTest::newRow("high confirmed") << true << true << QStringList{u"X000000"_s, u"N000000"_s, u"H000000"_s};
    QTest::newRow("high declined") << true << false << QStringList{};
}

void TestMeasuringRun::potentialCommands() {
    QFETCH(bool, high);
    QFETCH(bool, confirm);
    QFETCH(QStringList, commands);
    Rig rig;
    rig.prompter.answer(confirm);
    rig.op.onWaiting = [&](int) { rig.run.stop(); };
    QCOMPARE(rig.start(high), confirm);
    if (high) {
        QCOMPARE(rig.prompter.asked().size(), 1);
        QCOMPARE(rig.prompter.asked().first().type, MessageType::AskImportant);
        QCOMPARE(rig.prompter.asked().first().text, MeasuringRun::highConfirmation());
        QCOMPARE(rig.probe.tones().first(), 2);
    }
    if (!commands.isEmpty())
        commands << u"X000000"_s;
    QCOMPARE(rig.probe.controlCommands(), commands);
    QCOMPARE(rig.op.started, confirm ? 1 : 0);
}

void TestMeasuringRun::contactNeedsTheMeanAboveThreshold_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<bool>("contact");
    QTest::newRow("21/19, mean 20 = T") << 21 << 19 << false;
    QTest::newRow("21/20, mean 20.5") << 21 << 20 << true;
    QTest::newRow("20 alone is not above T") << 20 << 40 << false;
}

void TestMeasuringRun::contactNeedsTheMeanAboveThreshold() {
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(bool, contact);
    Rig rig;
    std::deque<int> script{0, 0, first, second};
    rig.probe.setReadings([&] {
        if (script.empty())
            return 0;
        const int r = script.front();
        script.pop_front();
        return r;
    });
    rig.time.setOnPump([&](quint32) {
        if (script.empty() && rig.run.state() == RunState::WaitingForContact)
            rig.run.stop();
    });
    QVERIFY(rig.start());
    QCOMPARE(rig.run.thresholdInUnits(), 20.0);
    QCOMPARE(rig.op.contacts.size(), contact ? 1 : 0);
    QVERIFY(!rig.measurement.hasData());
}

void TestMeasuringRun::thresholdChangeTakesEffectAtOnce() {
    Rig rig;
    // 30 units are 1.5 uA: contact at 1.0 uA, none at 2.0 uA.
    rig.op.onPoint = [](int) { return 30; };
    rig.op.placeDelayMs = 0;
    rig.op.onWaiting = [&](int) { rig.run.setThreshold(2.0); };
    int pumps = 0;
    rig.time.setOnPump([&](quint32) {
        if (++pumps == 200)
            rig.run.stop();
    });
    QVERIFY(rig.start());
    QCOMPARE(rig.run.thresholdInUnits(), 40.0);
    QVERIFY(rig.op.contacts.isEmpty());
}

void TestMeasuringRun::liftedProbeRemeasuresSameChannel() {
    Rig rig;
    rig.op.liftAfterMs = [](int c, int attempt) { return c == 1 && attempt == 1 ? 2000u : 0u; };
    rig.op.onDone = [&](int c, double) {
        if (c == 1)
            rig.run.stop();
    };
    QList<int> tonesAtSecondContact;
    rig.op.onWaiting = [&](int) {
        if (!rig.op.dropped.isEmpty())
            tonesAtSecondContact = rig.probe.tones();
    };
    QVERIFY(rig.start());
    QCOMPARE(rig.op.dropped, QList<int>{1});
    QCOMPARE(rig.op.contacts, (QList<int>{1, 1}));
    QCOMPARE(rig.op.waitingFor, (QList<int>{1, 1}));
    QCOMPARE(rig.op.done, QList<int>{1});
    QCOMPARE(rig.measurement.value(1), 11.0);
    QCOMPARE(rig.measurement.pointsSinceCounterUpdate, 1);
    // Contact tone plus four ticks again after the drop, then the done tone.
    const QList<int> after = rig.probe.tones().mid(tonesAtSecondContact.size());
    QCOMPARE(after, (QList<int>{4, 4, 4, 4, 4, 5}));
    // The dropped attempt had reached its fourth tick (contact tone + 3 ticks).
    QCOMPARE(tonesAtSecondContact, (QList<int>{4, 4, 4, 4}));
}

void TestMeasuringRun::selectingAPointWhileWaiting() {
    Rig rig;
    rig.op.placeDelayMs = 500;
    bool clicked = false;
    rig.time.setOnPump([&](quint32) {
        if (!clicked && rig.run.state() == RunState::WaitingForContact && rig.run.currentChannel() == 3) {
            clicked = true;
            QVERIFY(rig.run.selectPoint(17));
        }
    });
    QVERIFY(rig.start());
    QList<int> expected{1, 2};
    for (int c = 17; c <= 24; ++c)
        expected << c;
    QCOMPARE(rig.op.done, expected);
    QCOMPARE(rig.measurement.value(3), 0.0);
    QCOMPARE(rig.measurement.value(16), 0.0);
    QCOMPARE(rig.measurement.value(17), 27.0);
    QCOMPARE(rig.measurement.value(18), 28.0);
    QVERIFY(!rig.measurement.complete());
    // Not accepted once the run has ended.
    QVERIFY(!rig.run.selectPoint(5));
}

void TestMeasuringRun::tooLongQuestion_data() {
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<int>("lastMeasured");
    QTest::newRow("yes goes on") << true << 24;
    QTest::newRow("no ends the run") << false << 10;
}

void TestMeasuringRun::tooLongQuestion() {
    QFETCH(bool, goOn);
    QFETCH(int, lastMeasured);
    Rig rig;
    rig.op.holdAfterDoneMs = [](int c) { return c == 10 ? 5000u : 0u; };
    rig.prompter.answer(goOn);
    QVERIFY(rig.start());
    QCOMPARE(rig.prompter.asked().size(), 1);
    QCOMPARE(rig.prompter.asked().first().type, MessageType::AskImportant);
    QCOMPARE(rig.prompter.asked().first().text, MeasuringRun::tooLongQuestion());
    QCOMPARE(countOf(rig.probe.tones(), 3), 1);
    QCOMPARE(rig.op.done.size(), lastMeasured);
    QCOMPARE(rig.op.done.last(), lastMeasured);
    for (int c = 1; c <= ChannelCount; ++c)
        QCOMPARE(rig.measurement.value(c) != 0.0, c <= lastMeasured);
    QCOMPARE(rig.measurement.complete(), goOn);
    QCOMPARE(rig.op.stops, goOn ? 0 : 1);
    QCOMPARE(rig.probe.commands().last(), u"X000000"_s);
}

void TestMeasuringRun::lastPointNeverAsks() {
    Rig rig;
    rig.op.holdAfterDoneMs = [](int c) { return c == 24 ? 10000u : 0u; };
    QVERIFY(rig.start());
    QVERIFY(rig.prompter.asked().isEmpty());
    QVERIFY(rig.measurement.complete());
}

void TestMeasuringRun::stopWaitsForThePointInProgress() {
    Rig rig;
    bool pressed = false;
    rig.time.setOnPump([&](quint32) {});
    rig.op.onPoint = [&](int c) {
        // The stop button pressed while channel 2 is being measured.
        if (c == 2 && rig.run.state() == RunState::Measuring && !pressed) {
            pressed = true;
            rig.run.stop();
        }
        return 400;
    };
    QVERIFY(rig.start());
    QVERIFY(pressed);
    QCOMPARE(rig.op.done, (QList<int>{1, 2}));
    QCOMPARE(rig.measurement.value(2), 20.0);
    QCOMPARE(rig.measurement.value(3), 0.0);
    QCOMPARE(rig.op.stops, 1);
}

void TestMeasuringRun::unplugEndsEveryWait_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("secondStored");
    QTest::newRow("waiting for contact") << int(RunState::WaitingForContact) << false;
    QTest::newRow("measuring") << int(RunState::Measuring) << false;
    QTest::newRow("waiting for release") << int(RunState::WaitingForRelease) << true;
}

void TestMeasuringRun::unplugEndsEveryWait() {
    QFETCH(int, state);
    QFETCH(bool, secondStored);
    Rig rig;
    // Held on the point after it is done, so the release wait lasts.
    rig.op.holdAfterDoneMs = [](int c) { return c == 2 ? 100000u : 0u; };
    rig.op.placeDelayMs = 300;
    quint32 unpluggedAt = 0;
    rig.probe.setReadings([&] {
        if (!unpluggedAt && rig.run.currentChannel() == 2 && int(rig.run.state()) == state) {
            unpluggedAt = rig.time.ticks();
            rig.probe.unplug();
        }
        return rig.op.reading();
    });
    QVERIFY(rig.start());
    QVERIFY(unpluggedAt > 0);
    QVERIFY(rig.run.endedByProbeLoss());
    QVERIFY2(rig.time.ticks() - unpluggedAt < 50,
             qPrintable(QString::number(rig.time.ticks() - unpluggedAt)));
    QCOMPARE(rig.prompter.texts(), QStringList{ProbeWatch::lostMessage()});
    QCOMPARE(rig.measurement.value(1), 11.0);
    // A reading without its probe repeats the last answer: nothing of it is stored.
    QCOMPARE(rig.measurement.value(2), secondStored ? 12.0 : 0.0);
    QCOMPARE(rig.measurement.value(3), 0.0);
    QVERIFY(!rig.run.isRunning());

    rig.probe.replug();
    rig.probe.setReadings([&] { return rig.op.reading(); });
    rig.op.holdAfterDoneMs = [](int) { return 0u; };
    rig.prompter.clear();
    QVERIFY(rig.start());
    QVERIFY(!rig.run.endedByProbeLoss());
    QVERIFY(rig.measurement.complete());
}

void TestMeasuringRun::noProbeNoRun() {
    Rig rig;
    rig.probe.unplug();
    QVERIFY(!rig.start());
    QCOMPARE(rig.prompter.texts(), QStringList{ProbeWatch::absentMessage()});
    QVERIFY(rig.probe.commands().isEmpty());
}

void TestMeasuringRun::clearQuestionWithLoadedRecord_data() {
    QTest::addColumn<bool>("clear");
    QTest::newRow("yes clears first") << true;
    QTest::newRow("no measures over the shown values") << false;
}

void TestMeasuringRun::clearQuestionWithLoadedRecord() {
    QFETCH(bool, clear);
    Rig rig;
    std::array<double, 24> loaded;
    loaded.fill(50.0);
    rig.measurement.setAllValues(loaded);
    rig.measurement.recordKey = 7;
    rig.measurement.memo = QStringList{u"旧记录"_s};
    rig.measurement.subject.number = u"A001"_s;
    rig.prompter.answer(clear);
    rig.op.onDone = [&](int c, double) {
        if (c == 3)
            rig.run.stop();
    };
    QVERIFY(rig.start());
    QCOMPARE(rig.prompter.asked().first().type, MessageType::AskQuestion);
    QCOMPARE(rig.prompter.asked().first().text, MeasuringRun::clearQuestion());
    QCOMPARE(rig.probe.tones().first(), 1);
    QCOMPARE(rig.measurement.value(1), 11.0);
    QCOMPARE(rig.measurement.value(3), 13.0);
    QCOMPARE(rig.measurement.value(4), clear ? 0.0 : 50.0);
    QCOMPARE(rig.measurement.value(24), clear ? 0.0 : 50.0);
    // Either way the new readings are not those of the stored record, which stays as it was
    // (nothing may be written to it in their name), and leaving them asks first.
    QCOMPARE(rig.measurement.recordKey, 0);
    QVERIFY(rig.measurement.unsaved());
    QCOMPARE(rig.measurement.memo.isEmpty(), clear);
    QCOMPARE(rig.measurement.subject.number, u"A001"_s);
}

void TestMeasuringRun::meanFromTheThirdTick() {
    Rig rig;
    // 1000 units until shortly before the third tick (about 1800 ms after contact),
    // 3000 after it: only the readings from the third tick on count.
    quint32 contactAt = 0;
    rig.op.placeDelayMs = 0;
    rig.op.onPoint = [&](int) {
        if (rig.run.state() != RunState::Measuring)
            return 1000;
        if (contactAt == 0)
            contactAt = rig.time.ticks();
        return rig.time.ticks() - contactAt >= 1700 ? 3000 : 1000;
    };
    rig.op.onDone = [&](int, double) { rig.run.stop(); };
    QVERIFY(rig.start());
    QCOMPARE(rig.measurement.value(1), 150.0);
}

void TestMeasuringRun::storedAndCorrectedValue() {
    Rig rig;
    rig.op.onPoint = [](int) { return 2000; };
    rig.op.onWaiting = [&](int c) {
        if (c == 1)
            QVERIFY(rig.run.selectPoint(14));
    };
    rig.op.onDone = [&](int, double) { rig.run.stop(); };
    QVERIFY(rig.start());
    QCOMPARE(rig.op.done, QList<int>{14});
    QCOMPARE(rig.measurement.value(14), 100.0);
    QVERIFY(qAbs(rig.measurement.correctedValue(14) - 124.24) < 1e-9);
    QCOMPARE(rig.measurement.value(1), 0.0);
}

QTEST_GUILESS_MAIN(TestMeasuringRun)
#include "test_measuringrun.moc"

void TestMeasuringRun::remeasureVisitsOnlyTheUnsteadyPoints() {
    Rig rig;
    const int leftLiver = 14;
    const int rightGallbladder = 23;
    bool shaky = true;
    quint32 contactAt = 0;
    int pass = 0;
    rig.op.onPoint = [&](int c) {
        if (rig.run.state() != RunState::Measuring) {
            contactAt = 0;
            return 1000;
        }
        if (contactAt == 0)
            contactAt = rig.time.ticks();
        if (shaky && c == leftLiver) // 300 units a second
            return 1000 + static_cast<int>(3 * (rig.time.ticks() - contactAt) / 10);
        if (shaky && c == rightGallbladder)
            return ++pass % 2 ? 1000 : 1300;
        return 1000;
    };
    QVERIFY(rig.start());
    QCOMPARE(unsteadyChannels(rig.measurement.quality), (QList<int>{leftLiver, rightGallbladder}));
    QCOMPARE(qualitySummary(rig.measurement.quality),
             u"测量质量: 22/24 稳定；可疑: 左肝经 (漂移)、右胆经 (不稳)"_s);
    QCOMPARE(rig.measurement.pointQuality(1)->attempts, 1);
    const std::array<double, 24> first = rig.measurement.values;

    shaky = false;
    rig.measurement.recordKey = 7;
    rig.op.done.clear();
    const qsizetype tonesBefore = rig.probe.tones().size();
    QVERIFY(rig.run.remeasure(RunParameters{false, 4000, 1.0}, unsteadyChannels(rig.measurement.quality)));
    QCOMPARE(rig.op.done, (QList<int>{leftLiver, rightGallbladder}));
    QCOMPARE(qualitySummary(rig.measurement.quality), u"测量质量: 24/24 稳定"_s);
    for (int c = 1; c <= ChannelCount; ++c) {
        if (c != leftLiver && c != rightGallbladder)
            QCOMPARE(rig.measurement.value(c), first[c - 1]);
    }
    QCOMPARE(rig.measurement.value(leftLiver), 50.0);
    QCOMPARE(rig.measurement.recordKey, 0); // no longer the stored measurement
    QVERIFY(rig.prompter.asked().isEmpty());
    QCOMPARE(rig.probe.tones().mid(tonesBefore).last(), 6);
    QCOMPARE(countOf(rig.probe.tones().mid(tonesBefore), 5), 1);
}
