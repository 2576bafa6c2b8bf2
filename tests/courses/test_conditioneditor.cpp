#include "courses/ui/conditioneditor.h"
#include "support/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QString zeros() {
    return QString(24, u'0');
}

QString with(QString s, int position, QChar c) {
    s[position - 1] = c;
    return s;
}

} // namespace

class TestConditionEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void boxesMakeStrings_data();
    void boxesMakeStrings();
    void stringsSetBoxes_data();
    void stringsSetBoxes();
    void everyCodeSurvivesTheRoundTrip();
    void ageBoundsNeverCross_data();
    void ageBoundsNeverCross();
    void showingStoredBoundsDoesNotMoveThem();
    void rangeBoxSwitchesPositionOne();
    void unchangedNumbersKeepStoredValues();
    void browseModeLocksTheGroups();

private:
    template <typename T> T *find(const QString &name) { return test::control<T>(m_editor, name); }
    QCheckBox *box(const QString &name) { return find<QCheckBox>(name); }

    ConditionEditor *m_editor = nullptr;
};

void TestConditionEditor::init() {
    m_editor = new ConditionEditor;
}

void TestConditionEditor::cleanup() {
    delete m_editor;
    m_editor = nullptr;
}

void TestConditionEditor::boxesMakeStrings_data() {
    QTest::addColumn<QStringList>("tick");
    QTest::addColumn<int>("comparison");
    QTest::addColumn<int>("energy");
    QTest::addColumn<QString>("cond");
    QTest::addColumn<QString>("must");
    QTest::addColumn<double>("storedEnergy");
    QTest::newRow("lung row alone: must normal")
        << QStringList{u"mustCheck6"_s} << -1 << 0 << zeros() << with(zeros(), 6, u'1') << 0.0;
    QTest::newRow("both heart boxes: code 3") << QStringList{u"lowCheck10"_s, u"highCheck10"_s} << -1 << 0
                                              << with(zeros(), 10, u'3') << zeros() << 0.0;
    QTest::newRow("range below 45") << QStringList{u"rangeCheck"_s} << 2 << 45 << with(zeros(), 1, u'6')
                                    << zeros() << 45.0;
    QTest::newRow("range without a choice is equal")
        << QStringList{u"rangeCheck"_s} << -1 << 30 << with(zeros(), 1, u'4') << zeros() << 30.0;
    QTest::newRow("weak and excited") << QStringList{u"lowCheck1"_s, u"highCheck1"_s} << -1 << 0
                                      << with(zeros(), 1, u'3') << zeros() << 0.0;
    QTest::newRow("weakened metabolism")
        << QStringList{u"lowCheck4"_s} << -1 << 0 << with(zeros(), 4, u'1') << zeros() << 0.0;
    QTest::newRow("abnormal autonomic with must")
        << QStringList{u"abnormalCheck5"_s, u"mustCheck5"_s} << -1 << 0 << with(zeros(), 5, u'1')
        << with(zeros(), 5, u'1') << 0.0;
    QTest::newRow("water excess") << QStringList{u"highCheck22"_s} << -1 << 0 << with(zeros(), 22, u'2')
                                  << zeros() << 0.0;
    QTest::newRow("age between") << QStringList{u"ageLowCheck"_s, u"ageHighCheck"_s} << -1 << 0
                                 << with(zeros(), 23, u'3') << zeros() << 0.0;
    QTest::newRow("sex, male preselected")
        << QStringList{u"sexCheck"_s} << -1 << 0 << with(zeros(), 24, u'1') << zeros() << 0.0;
    QTest::newRow("sex female") << QStringList{u"sexCheck"_s, u"femaleRadio"_s} << -1 << 0
                                << with(zeros(), 24, u'2') << zeros() << 0.0;
    QTest::newRow("female without the sex box is no condition")
        << QStringList{u"femaleRadio"_s} << -1 << 0 << zeros() << zeros() << 0.0;
}

void TestConditionEditor::boxesMakeStrings() {
    QFETCH(QStringList, tick);
    QFETCH(int, comparison);
    QFETCH(int, energy);
    QFETCH(QString, cond);
    QFETCH(QString, must);
    QFETCH(double, storedEnergy);
    m_editor->setEditable(true);
    find<QComboBox>(u"comparisonCombo"_s)->setCurrentIndex(-1);
    for (const QString &name : tick) {
        if (auto *radio = m_editor->findChild<QRadioButton *>(name))
            radio->setChecked(true);
        else
            box(name)->setChecked(true);
    }
    if (comparison >= 0)
        find<QComboBox>(u"comparisonCombo"_s)->setCurrentIndex(comparison);
    find<QSpinBox>(u"energySpin"_s)->setValue(energy);
    const ConditionRule r = m_editor->rule();
    QCOMPARE(r.cond, cond);
    QCOMPARE(r.must, must);
    QCOMPARE(r.energy, storedEnergy);
}

void TestConditionEditor::stringsSetBoxes_data() {
    QTest::addColumn<QString>("cond");
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QStringList>("disabled");
    const QStringList sexAndAge{u"ageLowSpin"_s, u"ageHighSpin"_s, u"maleRadio"_s, u"femaleRadio"_s};
    const QStringList plain = QStringList{u"comparisonCombo"_s, u"energySpin"_s} + sexAndAge;
    QTest::newRow("empty") << QString() << QStringList{} << plain;
    QTest::newRow("code 3 at 1") << u"3"_s << QStringList{u"lowCheck1"_s, u"highCheck1"_s} << plain;
    QTest::newRow("code 5 at 1") << u"5"_s << QStringList{u"rangeCheck"_s}
                                 << QStringList{u"lowCheck1"_s, u"highCheck1"_s} + sexAndAge;
    QTest::newRow("any code ticks abnormal") << u"0070"_s << QStringList{u"abnormalCheck3"_s} << plain;
    QTest::newRow("unlisted code ticks neither") << u"0700"_s << QStringList{} << plain;
    QTest::newRow("age at most") << with(zeros(), 23, u'2') << QStringList{u"ageHighCheck"_s}
                                 << QStringList{u"comparisonCombo"_s, u"energySpin"_s, u"ageLowSpin"_s,
                                                u"maleRadio"_s, u"femaleRadio"_s};
    QTest::newRow("female") << with(zeros(), 24, u'2') << QStringList{u"sexCheck"_s, u"femaleRadio"_s}
                            << QStringList{u"comparisonCombo"_s, u"energySpin"_s, u"ageLowSpin"_s,
                                           u"ageHighSpin"_s};
}

void TestConditionEditor::stringsSetBoxes() {
    QFETCH(QString, cond);
    QFETCH(QStringList, ticked);
    QFETCH(QStringList, disabled);
    m_editor->setEditable(true);
    // Start from a full editor so that showing must also clear boxes.
    ConditionRule full;
    full.cond = u"333333333333333333333333"_s;
    full.must = u"1111111111111111111111"_s;
    m_editor->showRule(full);
    ConditionRule r;
    r.cond = cond;
    m_editor->showRule(r);
    for (QAbstractButton *b : m_editor->findChildren<QAbstractButton *>()) {
        if (b->objectName() == u"maleRadio"_s)
            continue; // one of the two radios is always on
        QVERIFY2(b->isChecked() == ticked.contains(b->objectName()), qPrintable(b->objectName()));
    }
    // The controls whose use depends on the code.
    for (const QString &name : {u"lowCheck1"_s, u"highCheck1"_s, u"comparisonCombo"_s, u"energySpin"_s,
                                u"ageLowSpin"_s, u"ageHighSpin"_s, u"maleRadio"_s, u"femaleRadio"_s}) {
        QWidget *w = find<QWidget>(name);
        QVERIFY2(w->isEnabled() == !disabled.contains(name), qPrintable(name));
    }
}

void TestConditionEditor::everyCodeSurvivesTheRoundTrip() {
    m_editor->setEditable(true);
    const int highest[24] = {6, 3, 1, 3, 1, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 2};
    for (int p = 1; p <= 24; ++p) {
        for (int code = 0; code <= highest[p - 1]; ++code) {
            for (bool must : {false, true}) {
                ConditionRule r;
                r.cond = with(zeros(), p, QChar(u'0' + code));
                r.must = p <= 22 && must ? with(zeros(), p, u'1') : zeros();
                r.energy = 45;
                r.ageLow = 10;
                r.ageHigh = 70;
                m_editor->showRule(r);
                const ConditionRule back = m_editor->rule();
                const QString where = u"position %1 code %2 must %3"_s.arg(p).arg(code).arg(must);
                QVERIFY2(back.cond == r.cond, qPrintable(where + u": "_s + back.cond));
                QVERIFY2(back.must == r.must, qPrintable(where + u": "_s + back.must));
                QCOMPARE(back.energy, 45.0);
                QCOMPARE(back.ageLow, 10);
                QCOMPARE(back.ageHigh, 70);
            }
        }
    }
}

void TestConditionEditor::ageBoundsNeverCross_data() {
    QTest::addColumn<QString>("moved");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    // Starting from 20..40.
    QTest::newRow("lower raised above upper carries it") << u"ageLowSpin"_s << 55 << 55 << 55;
    QTest::newRow("lower raised within") << u"ageLowSpin"_s << 30 << 30 << 40;
    QTest::newRow("upper lowered below lower carries it") << u"ageHighSpin"_s << 12 << 12 << 12;
    QTest::newRow("upper raised") << u"ageHighSpin"_s << 90 << 20 << 90;
}

void TestConditionEditor::ageBoundsNeverCross() {
    QFETCH(QString, moved);
    QFETCH(int, value);
    QFETCH(int, low);
    QFETCH(int, high);
    m_editor->setEditable(true);
    ConditionRule r;
    r.cond = with(zeros(), 23, u'3');
    r.ageLow = 20;
    r.ageHigh = 40;
    m_editor->showRule(r);
    find<QSpinBox>(moved)->setValue(value);
    QCOMPARE(find<QSpinBox>(u"ageLowSpin"_s)->value(), low);
    QCOMPARE(find<QSpinBox>(u"ageHighSpin"_s)->value(), high);
    // The up-down control steps too.
    find<QSpinBox>(u"ageLowSpin"_s)->stepBy(1);
    QVERIFY(find<QSpinBox>(u"ageHighSpin"_s)->value() >= find<QSpinBox>(u"ageLowSpin"_s)->value());
}

void TestConditionEditor::showingStoredBoundsDoesNotMoveThem() {
    // Code 1 uses only the lower bound; a stored upper bound below it stays as stored.
    ConditionRule r;
    r.cond = with(zeros(), 23, u'1');
    r.ageLow = 60;
    r.ageHigh = 0;
    m_editor->showRule(r);
    QCOMPARE(m_editor->rule().ageLow, 60);
    QCOMPARE(m_editor->rule().ageHigh, 0);
}

void TestConditionEditor::rangeBoxSwitchesPositionOne() {
    m_editor->setEditable(true);
    auto *combo = find<QComboBox>(u"comparisonCombo"_s);
    combo->setCurrentIndex(-1);
    box(u"lowCheck1"_s)->setChecked(true);
    box(u"rangeCheck"_s)->setChecked(true);
    QCOMPARE(combo->currentIndex(), 0);
    QVERIFY(!box(u"lowCheck1"_s)->isEnabled());
    QVERIFY(!box(u"highCheck1"_s)->isEnabled());
    QVERIFY(combo->isEnabled());
    QVERIFY(find<QSpinBox>(u"energySpin"_s)->isEnabled());
    QCOMPARE(m_editor->rule().cond.at(0), u'4');
    box(u"rangeCheck"_s)->setChecked(false);
    QVERIFY(box(u"lowCheck1"_s)->isEnabled());
    QVERIFY(!combo->isEnabled());
    QCOMPARE(m_editor->rule().cond.at(0), u'1');
    QCOMPARE(find<QSpinBox>(u"energySpin"_s)->maximum(), 200);
    QCOMPARE(find<QSpinBox>(u"ageLowSpin"_s)->maximum(), 100);
}

void TestConditionEditor::unchangedNumbersKeepStoredValues() {
    ConditionRule r;
    r.cond = u"5"_s;
    r.energy = 45.5; // written by another installation
    r.ageLow = 120;
    m_editor->showRule(r);
    QCOMPARE(m_editor->rule().energy, 45.5);
    QCOMPARE(m_editor->rule().ageLow, 120);
    m_editor->setEditable(true);
    find<QSpinBox>(u"energySpin"_s)->setValue(50);
    QCOMPARE(m_editor->rule().energy, 50.0);
}

void TestConditionEditor::browseModeLocksTheGroups() {
    m_editor->setEditable(false);
    QVERIFY(!box(u"mustCheck6"_s)->isEnabled());
    QVERIFY(!find<QSpinBox>(u"ageLowSpin"_s)->isEnabled());
    m_editor->setEditable(true);
    QVERIFY(box(u"mustCheck6"_s)->isEnabled());
}

QTEST_MAIN(TestConditionEditor)
#include "test_conditioneditor.moc"
