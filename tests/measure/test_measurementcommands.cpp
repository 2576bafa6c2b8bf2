#include "measure/measurementcommands.h"

#include "core/currentmeasurement.h"
#include "measure/savingcheck.h"
#include "support/scriptedprompter.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestMeasurementCommands : public QObject {
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
    void askBeforeSaving_data();
    void askBeforeSaving();
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

// A cut-off run must not be saved as a normal record without a word, and doubtful
// readings are offered a re-test before they are kept.
void TestMeasurementCommands::askBeforeSaving_data() {
    QTest::addColumn<int>("measured");
    QTest::addColumn<int>("doubtful");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<int>("decision");
    const QString missing19 = u"19 个点未测量，仍要储存吗?"_s;
    const QString doubtful21 = u"21 个点的读数可疑。要先重测可疑点吗?\n(选 [否] 照样储存)"_s;
    const QString doubtful3 = u"3 个点的读数可疑。要先重测可疑点吗?\n(选 [否] 照样储存)"_s;
    const auto save = static_cast<int>(SavingDecision::Save);
    QTest::newRow("complete and steady: no question") << 24 << 0 << QList<bool>{} << QStringList{} << save;
    QTest::newRow("cut off after 5, saved anyway")
        << 5 << 0 << QList<bool>{true} << QStringList{missing19} << save;
    QTest::newRow("cut off after 5, not saved")
        << 5 << 0 << QList<bool>{false} << QStringList{missing19} << static_cast<int>(SavingDecision::Cancel);
    QTest::newRow("21 doubtful, re-test first") << 24 << 21 << QList<bool>{true} << QStringList{doubtful21}
                                                << static_cast<int>(SavingDecision::Retest);
    QTest::newRow("21 doubtful, saved as they are")
        << 24 << 21 << QList<bool>{false} << QStringList{doubtful21} << save;
    QTest::newRow("cut off and doubtful: both asked")
        << 5 << 3 << QList<bool>{true, false} << QStringList{missing19, doubtful3} << save;
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
    QFETCH(int, decision);
    QCOMPARE(static_cast<int>(orlu::askBeforeSaving(m, prompter)), decision);
    QTEST(prompter.texts(), "questions");
}

QTEST_GUILESS_MAIN(TestMeasurementCommands)
#include "test_measurementcommands.moc"
