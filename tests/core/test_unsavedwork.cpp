// Finished measurements are not lost unasked when the operator leaves or measures anew.
#include "core/currentmeasurement.h"
#include "core/unsavedwork.h"
#include "support/scriptedprompter.h"

#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(orlu::UnsavedOccasion)
Q_DECLARE_METATYPE(orlu::SaveChoice)

class TestUnsavedWork : public QObject {
    Q_OBJECT
private slots:
    void leavingAsksBeforeUnsavedReadingsGo_data();
    void leavingAsksBeforeUnsavedReadingsGo();
};

void TestUnsavedWork::leavingAsksBeforeUnsavedReadingsGo_data() {
    QTest::addColumn<UnsavedOccasion>("occasion");
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<bool>("canSave");
    QTest::addColumn<SaveChoice>("answer"); // with canSave false: Discard is "是"
    QTest::addColumn<bool>("saveStores");
    QTest::addColumn<int>("askedType"); // -1: nothing asked
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("valuesKept");
    QTest::addColumn<bool>("stillUnsaved");
    const auto leave = UnsavedOccasion::LeaveProgram;
    const auto window = UnsavedOccasion::LeaveMeasurementWindow;
    const auto run = UnsavedOccasion::StartNewRun;
    const int save = SaveQuestionType;
    QTest::newRow("stored or loaded: nothing to ask")
        << leave << false << true << SaveChoice::Stay << false << -1 << true << true << false;
    QTest::newRow("save, stored") << leave << true << true << SaveChoice::Save << true << save << true << true
                                  << false;
    QTest::newRow("save, saving window left unsaved")
        << leave << true << true << SaveChoice::Save << false << save << false << true << true;
    QTest::newRow("discard keeps them in memory, unsaved")
        << window << true << true << SaveChoice::Discard << false << save << true << true << true;
    QTest::newRow("stay") << window << true << true << SaveChoice::Stay << false << save << false << true
                          << true;
    QTest::newRow("read-only register, yes")
        << leave << true << false << SaveChoice::Discard << false << int(AskCaution) << true << true << true;
    QTest::newRow("read-only register, no")
        << window << true << false << SaveChoice::Stay << false << int(AskCaution) << false << true << true;
    QTest::newRow("new run after discard starts on an empty table")
        << run << true << true << SaveChoice::Discard << false << save << true << false << false;
    QTest::newRow("reading another after discard keeps them until one is loaded")
        << UnsavedOccasion::ReadAnother << true << true << SaveChoice::Discard << false << save << true
        << true << true;
    QTest::newRow("new run, stay") << run << true << true << SaveChoice::Stay << false << save << false
                                   << true << true;
}

void TestUnsavedWork::leavingAsksBeforeUnsavedReadingsGo() {
    QFETCH(UnsavedOccasion, occasion);
    QFETCH(bool, unsaved);
    QFETCH(bool, canSave);
    QFETCH(SaveChoice, answer);
    QFETCH(bool, saveStores);
    QFETCH(int, askedType);
    CurrentMeasurement m;
    m.setValue(1, 52.0);
    m.subject.number = u"A001"_s;
    m.readingsUnsaved = unsaved;
    ScriptedPrompter prompter;
    prompter.answerSave(answer);
    prompter.answer(answer == SaveChoice::Discard);
    int saves = 0;
    std::function<void()> save;
    if (canSave) {
        save = [&] {
            ++saves;
            if (saveStores)
                m.readingsUnsaved = false;
        };
    }
    QTEST(settleUnsavedWork(occasion, m, prompter, save, false), "goesOn");
    QCOMPARE(prompter.asked().size(), askedType < 0 ? 0 : 1);
    if (askedType >= 0) {
        QCOMPARE(prompter.asked().first().type, askedType);
        QCOMPARE(prompter.asked().first().text, canSave ? saveQuestion(occasion) : discardQuestion(occasion));
    }
    QCOMPARE(saves, answer == SaveChoice::Save && unsaved ? 1 : 0);
    QTEST(m.value(1) == 52.0, "valuesKept");
    QCOMPARE(m.subject.number, u"A001"_s);
    QTEST(m.unsaved(), "stillUnsaved");
}

QTEST_GUILESS_MAIN(TestUnsavedWork)
#include "test_unsavedwork.moc"
