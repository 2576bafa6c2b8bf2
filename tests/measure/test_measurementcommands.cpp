#include "measure/measurementcommands.h"

#include "core/currentmeasurement.h"
#include "core/unsavedwork.h"
#include "measure/measurementlamps.h"
#include "measure/probeusage.h"
#include "measure/savingcheck.h"
#include "scriptedprobe.h"
#include "support/scriptedprompter.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

// The readings afterwards; Stored after "储存" means the saving window stored them.
enum class Left { Unsaved, Stored, Cleared };

Q_DECLARE_METATYPE(orlu::SavingDecision)
Q_DECLARE_METATYPE(orlu::UnsavedOccasion)
Q_DECLARE_METATYPE(orlu::SaveChoice)
Q_DECLARE_METATYPE(Left)
Q_DECLARE_METATYPE(orlu::RunState)

class TestMeasurementCommands : public QObject {
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
    void askBeforeSaving_data();
    void askBeforeSaving();
    void leavingAsksBeforeUnsavedReadingsGo_data();
    void leavingAsksBeforeUnsavedReadingsGo();
    void lampsFollowTheRun_data();
    void lampsFollowTheRun();
    void probeUseCountedFromHalfThePoints_data();
    void probeUseCountedFromHalfThePoints();
};

namespace {

QString enabledNames(const MeasurementCommands &c) {
    const std::pair<bool, const char *> all[] = {{c.measure, "measure"},
                                                 {c.stop, "stop"},
                                                 {c.analysis, "analysis"},
                                                 {c.compare, "compare"},
                                                 {c.manualEntry, "manual"},
                                                 {c.save, "save"},
                                                 {c.read, "read"},
                                                 {c.clear, "clear"},
                                                 {c.leave, "leave"},
                                                 {c.choosePotential, "potential"},
                                                 {c.remeasureUnsteady, "remeasure"},
                                                 {c.repeat, "repeat"}};
    QStringList names;
    for (const auto &[on, name] : all)
        if (on)
            names << QString::fromLatin1(name);
    return names.join(u' ');
}

} // namespace

void TestMeasurementCommands::commands_data() {
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("hasData");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<bool>("canSave");
    QTest::addColumn<bool>("unsteady");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("running, unsteady, stored") << true << true << true << true << true << true << u"stop"_s;
    QTest::newRow("no data") << false << false << false << true << false << false
                             << u"measure manual read leave potential"_s;
    QTest::newRow("some points") << false << true << false << true << false << false
                                 << u"measure manual save read clear leave potential"_s;
    QTest::newRow("all points") << false << true << true << true << false << false
                                << u"measure analysis compare manual save read clear leave potential"_s;
    QTest::newRow("all points, no register")
        << false << true << true << false << false << false
        << u"measure analysis compare manual read clear leave potential"_s;
    QTest::newRow("unsteady points")
        << false << true << true << true << true << false
        << u"measure analysis compare manual save read clear leave potential remeasure"_s;
    QTest::newRow("stored measurement")
        << false << true << true << true << false << true
        << u"measure analysis compare manual save read clear leave potential repeat"_s;
}

void TestMeasurementCommands::commands() {
    QFETCH(bool, running);
    QFETCH(bool, hasData);
    QFETCH(bool, complete);
    QFETCH(bool, canSave);
    QFETCH(bool, unsteady);
    QFETCH(bool, stored);
    QFETCH(QString, enabled);
    QCOMPARE(enabledNames(measurementCommands({running, hasData, complete, canSave, unsteady, stored})),
             enabled);
}

// A cut-off run is not saved as a normal record without a word; doubtful readings are
// offered a re-test before they are kept.
void TestMeasurementCommands::askBeforeSaving_data() {
    QTest::addColumn<int>("measured");
    QTest::addColumn<int>("doubtful"); // of the measured points
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<SavingDecision>("decision");
    const QString missing = u"19 个点未测量，仍要储存吗?"_s;
    const QString doubtful = u"%1 个点的读数可疑。要先重测可疑点吗?\n(选 [否] 照样储存)"_s;
    using enum SavingDecision;
    QTest::newRow("complete and steady") << 24 << 0 << QList<bool>{} << QStringList{} << Save;
    QTest::newRow("cut off, saved anyway") << 5 << 0 << QList<bool>{true} << QStringList{missing} << Save;
    QTest::newRow("cut off, not saved") << 5 << 0 << QList<bool>{false} << QStringList{missing} << Cancel;
    QTest::newRow("doubtful, re-test first")
        << 24 << 21 << QList<bool>{true} << QStringList{doubtful.arg(21)} << Retest;
    QTest::newRow("doubtful, saved as they are")
        << 24 << 21 << QList<bool>{false} << QStringList{doubtful.arg(21)} << Save;
    QTest::newRow("cut off and doubtful: both asked")
        << 5 << 3 << QList<bool>{true, false} << QStringList{missing, doubtful.arg(3)} << Save;
}

void TestMeasurementCommands::askBeforeSaving() {
    QFETCH(int, measured);
    QFETCH(int, doubtful);
    QFETCH(QList<bool>, answers);
    CurrentMeasurement m;
    for (int c = 1; c <= measured; ++c) {
        m.setValue(c, 40.0);
        m.setPointQuality(c, {.verdict = c <= doubtful ? QualityVerdict::Noisy : QualityVerdict::Steady});
    }
    test::ScriptedPrompter prompter(false);
    for (bool a : answers)
        prompter.answer(a);
    QTEST(orlu::askBeforeSaving(m, prompter), "decision");
    QTEST(prompter.texts(), "questions");
}

// Finished measurements are not lost unasked when the operator leaves or measures anew.
void TestMeasurementCommands::leavingAsksBeforeUnsavedReadingsGo_data() {
    QTest::addColumn<UnsavedOccasion>("occasion");
    QTest::addColumn<bool>("canSave"); // false: a read-only register asks yes/no, "是" being Discard
    QTest::addColumn<SaveChoice>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<Left>("left");
    using enum UnsavedOccasion;
    using enum SaveChoice;
    QTest::newRow("save, stored") << LeaveProgram << true << Save << true << Left::Stored;
    QTest::newRow("save, saving window left") << LeaveProgram << true << Save << false << Left::Unsaved;
    QTest::newRow("discard keeps them in memory")
        << LeaveMeasurementWindow << true << Discard << true << Left::Unsaved;
    QTest::newRow("read-only, yes") << LeaveProgram << false << Discard << true << Left::Unsaved;
    QTest::newRow("read-only, no") << LeaveMeasurementWindow << false << Stay << false << Left::Unsaved;
    QTest::newRow("new run, discard") << StartNewRun << true << Discard << true << Left::Cleared;
    QTest::newRow("new run, stay") << StartNewRun << true << Stay << false << Left::Unsaved;
    // Kept until another measurement is loaded in their place.
    QTest::newRow("reading another, discard") << ReadAnother << true << Discard << true << Left::Unsaved;
}

void TestMeasurementCommands::leavingAsksBeforeUnsavedReadingsGo() {
    QFETCH(UnsavedOccasion, occasion);
    QFETCH(bool, canSave);
    QFETCH(SaveChoice, answer);
    QFETCH(Left, left);
    CurrentMeasurement m;
    m.setValue(1, 52.0);
    m.subject.number = u"A001"_s;
    m.readingsUnsaved = true;
    test::ScriptedPrompter prompter;
    prompter.answerSave(answer);
    prompter.answer(answer == SaveChoice::Discard);
    int saves = 0;
    std::function<void()> save = [&] {
        ++saves;
        m.readingsUnsaved = left != Left::Stored;
    };
    if (!canSave)
        save = nullptr;
    QTEST(settleUnsavedWork(occasion, m, prompter, save, false), "goesOn");
    QCOMPARE(prompter.asked().size(), 1);
    QCOMPARE(prompter.asked().first().type, canSave ? test::SaveQuestionType : MessageType::AskCaution);
    QCOMPARE(saves, answer == SaveChoice::Save ? 1 : 0);
    QCOMPARE(m.value(1) == 52.0, left != Left::Cleared);
    QCOMPARE(m.subject.number, u"A001"_s);
    QCOMPARE(m.unsaved(), left == Left::Unsaved);
    // Stored or cleared, there is nothing more to ask about.
    if (left != Left::Unsaved)
        QVERIFY(settleUnsavedWork(occasion, m, prompter, save, false) && prompter.asked().size() == 1);
}

// "point / value / trace", each "off", a shade, or a shade and "blinking".
QString lampsText(const MeasurementLamps &lamps) {
    const auto text = [](const LampView &l) {
        if (!l.on)
            return u"off"_s;
        const QString shade = l.shade == Shade::LimeGreen ? u"lime"_s
                              : l.shade == Shade::Red     ? u"red"_s
                              : l.shade == Shade::Yellow  ? u"yellow"_s
                              : l.shade == Shade::Green   ? u"green"_s
                                                          : u"other"_s;
        return l.blinking ? shade + u" blinking"_s : shade;
    };
    return text(lamps.point) + u" / "_s + text(lamps.value) + u" / "_s + text(lamps.trace);
}

void TestMeasurementCommands::lampsFollowTheRun_data() {
    QTest::addColumn<RunState>("state");
    QTest::addColumn<QString>("lamps");
    QTest::newRow("waiting for contact")
        << RunState::WaitingForContact << u"lime blinking / off / lime blinking"_s;
    QTest::newRow("measuring") << RunState::Measuring << u"red / green / red"_s;
    QTest::newRow("point done") << RunState::WaitingForRelease << u"yellow / yellow / yellow"_s;
    QTest::newRow("run ended") << RunState::Idle << u"off / off / off"_s;
}

void TestMeasurementCommands::lampsFollowTheRun() {
    QFETCH(RunState, state);
    QTEST(lampsText(measurementLamps(state)), "lamps");
}

void TestMeasurementCommands::probeUseCountedFromHalfThePoints_data() {
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("counter");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("11 points") << 11 << 0;
    QTest::newRow("12 points, half") << 12 << 1;
    QTest::newRow("30 points over two runs") << 30 << 1;
}

void TestMeasurementCommands::probeUseCountedFromHalfThePoints() {
    QFETCH(int, points);
    QFETCH(int, counter);
    test::VirtualTime time;
    test::ScriptedProbe probe(time);
    CurrentMeasurement m;
    m.pointsSinceCounterUpdate = points;
    countProbeUse(m, probe);
    QCOMPARE(probe.counter(), counter);
    QCOMPARE(m.pointsSinceCounterUpdate, counter ? 0 : points);
}

QTEST_GUILESS_MAIN(TestMeasurementCommands)
#include "test_measurementcommands.moc"
