#include "analysis/analysis.h"
#include "core/daycount.h"
#include "courses/courserules.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// A normal male subject of 40: every verdict and grade 0, body energy 50.
MatchInputs normalInputs() {
    MatchInputs in;
    in.bodyEnergy = 50.0;
    in.age = 40;
    in.male = true;
    return in;
}

// A condition string with the given codes at the given positions.
QString codesAt(std::initializer_list<std::pair<int, int>> codes) {
    QString s(24, u'0');
    for (auto [p, c] : codes)
        s[p - 1] = QChar(u'0' + c);
    return s;
}

QString mustAt(std::initializer_list<int> positions) {
    QString s(24, u'0');
    for (int p : positions)
        s[p - 1] = u'1';
    return s;
}

ConditionRule rule(const QString &cond, const QString &must = {}) {
    ConditionRule r;
    r.cond = cond;
    r.must = must;
    return r;
}

// No verdict: the ratio behind it was undefined.
constexpr int Undefined = 99;

} // namespace

class TestCourseRules : public QObject {
    Q_OBJECT
private slots:
    void readsCodes_data();
    void readsCodes();
    void readsMustFlags();
    void statePositions_data();
    void statePositions();
    void energyThreshold_data();
    void energyThreshold();
    void meridianPositionTestsBothChannels_data();
    void meridianPositionTestsBothChannels();
    void eachMeridianPositionReadsItsOwnChannels();
    void elementPositions_data();
    void elementPositions();
    void agePosition_data();
    void agePosition();
    void sexPosition_data();
    void sexPosition();
    void conditionNeedsEveryMustAndOneHit_data();
    void conditionNeedsEveryMustAndOneHit();
    void courseNeedsRequiredConditions_data();
    void courseNeedsRequiredConditions();
    void matchingKeepsOrderAndDuplicates();
    void inputsComeFromTheAnalysis();
};

void TestCourseRules::readsCodes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("firstSix");
    QTest::newRow("empty") << QString() << QList<int>{0, 0, 0, 0, 0, 0};
    QTest::newRow("blanks only") << u"      "_s << QList<int>{0, 0, 0, 0, 0, 0};
    QTest::newRow("short") << u"12"_s << QList<int>{1, 2, 0, 0, 0, 0};
    QTest::newRow("letters and blanks read 0") << u"1a 3-9"_s << QList<int>{1, 0, 0, 3, 0, 9};
    QTest::newRow("full-width digit reads 0") << u"１2"_s << QList<int>{0, 2, 0, 0, 0, 0};
    QTest::newRow("character beyond ASCII is one position") << u"é2中3"_s << QList<int>{0, 2, 0, 3, 0, 0};
    QTest::newRow("character outside the basic plane is one position")
        << u"\U0001F6002\U000200003"_s << QList<int>{0, 2, 0, 3, 0, 0};
}

void TestCourseRules::readsCodes() {
    QFETCH(QString, text);
    QFETCH(QList<int>, firstSix);
    const auto codes = readCodes(text);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(codes[i], firstSix[i]);
    for (int i = 6; i < 24; ++i)
        QCOMPARE(codes[i], 0);
}

void TestCourseRules::readsMustFlags() {
    // Characters past the 24th and flags at 23 and 24 count for nothing.
    const auto flags = readMustFlags(u"1x0 2" + QString(17, u'0') + u"11111"_s);
    QVERIFY(flags[0]);
    for (int i = 1; i < 24; ++i)
        QVERIFY2(!flags[i], qPrintable(QString::number(i + 1)));
    // Positions count characters, not UTF-16 units.
    const auto wide = readMustFlags(u"\U0001F6001"_s);
    QVERIFY(!wide[0] && wide[1] && !wide[2]);
    // A code character past the 24th is ignored too.
    QCOMPARE(readCodes(QString(24, u'0') + u"7"_s)[23], 0);
}

void TestCourseRules::statePositions_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("must");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<bool>("holds");
    struct Row {
        const char *name;
        int p, code;
        bool must;
        int verdict;
        bool holds;
    };
    const Row rows[] = {
        {"1 weak holds below 0", 1, 1, false, -1, true},
        {"1 weak fails at 0", 1, 1, false, 0, false},
        {"1 weak fails above 0", 1, 1, false, 2, false},
        {"1 excited holds above 0", 1, 2, false, 1, true},
        {"1 excited fails below 0", 1, 2, false, -3, false},
        {"1 any holds below 0", 1, 3, false, -2, true},
        {"1 any fails at 0", 1, 3, false, 0, false},
        {"1 code 0 not tested", 1, 0, false, 0, false},
        {"1 code 0 must holds at 0", 1, 0, true, 0, true},
        {"1 code 0 must fails off 0", 1, 0, true, 1, false},
        {"1 code 7 never", 1, 7, false, -1, false},
        {"2 weak holds below 0", 2, 1, false, -1, true},
        {"2 excited holds above 0", 2, 2, false, 3, true},
        {"2 excited fails below 0", 2, 2, false, -1, false},
        {"2 code 4 never", 2, 4, false, 1, false},
        {"3 abnormal holds either way", 3, 1, false, -2, true},
        {"3 code 2 also abnormal", 3, 2, false, 1, true},
        {"3 abnormal fails at 0", 3, 1, false, 0, false},
        {"4 weakened is a positive verdict", 4, 1, false, 1, true},
        {"4 weakened fails for negative", 4, 1, false, -1, false},
        {"4 increased is a negative verdict", 4, 2, false, -2, true},
        {"4 increased fails for positive", 4, 2, false, 2, false},
        {"4 any", 4, 3, false, -1, true},
        {"5 abnormal", 5, 1, false, 2, true},
        {"5 abnormal fails at 0", 5, 1, false, 0, false},
        {"5 code 0 must holds at 0", 5, 0, true, 0, true},
        {"undefined never weak", 4, 1, false, Undefined, false},
        {"undefined never abnormal", 3, 3, false, Undefined, false},
        {"undefined is not normal", 2, 0, true, Undefined, false},
    };
    for (const Row &r : rows)
        QTest::newRow(r.name) << r.p << r.code << r.must << r.verdict << r.holds;
}

void TestCourseRules::statePositions() {
    QFETCH(int, position);
    QFETCH(int, code);
    QFETCH(bool, must);
    QFETCH(int, verdict);
    QFETCH(bool, holds);
    MatchInputs in = normalInputs();
    in.verdicts[position - 1] = verdict == Undefined ? std::nullopt : std::optional<int>(verdict);
    QCOMPARE(positionHolds(position, code, must, MatchRule{}, in), holds);
}

void TestCourseRules::energyThreshold_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<double>("energy");
    QTest::addColumn<bool>("holds");
    QTest::newRow("greater: 50.9 is not above 50") << 5 << 50.0 << 50.9 << false;
    QTest::newRow("greater: 51.0 is above 50") << 5 << 50.0 << 51.0 << true;
    QTest::newRow("equal: 45.99 is 45") << 4 << 45.0 << 45.99 << true;
    QTest::newRow("equal: 46 is not 45") << 4 << 45.0 << 46.0 << false;
    QTest::newRow("less: 44.99 is below 45") << 6 << 45.0 << 44.99 << true;
    QTest::newRow("less: 45.5 is not below 45") << 6 << 45.0 << 45.5 << false;
    QTest::newRow("cut toward zero: -0.5 is 0") << 4 << 0.0 << -0.5 << true;
    QTest::newRow("non-whole threshold never equal") << 4 << 45.5 << 45.5 << false;
}

void TestCourseRules::energyThreshold() {
    QFETCH(int, code);
    QFETCH(double, threshold);
    QFETCH(double, energy);
    QFETCH(bool, holds);
    MatchInputs in = normalInputs();
    in.bodyEnergy = energy;
    ConditionRule r = rule(codesAt({{1, code}}));
    r.energy = threshold;
    QCOMPARE(positionHolds(1, code, false, matchRule(r), in), holds);
    QCOMPARE(conditionHolds(r, in), holds);
}

void TestCourseRules::meridianPositionTestsBothChannels_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("must");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<bool>("holds");
    QTest::newRow("deficiency both") << 1 << false << -1 << -2 << true;
    QTest::newRow("deficiency one side only") << 1 << false << -1 << 0 << false;
    QTest::newRow("deficiency mixed signs") << 1 << false << -1 << 1 << false;
    QTest::newRow("excess both") << 2 << false << 2 << 1 << true;
    QTest::newRow("excess one side") << 2 << false << 0 << 1 << false;
    QTest::newRow("any: one side deficient") << 3 << false << -1 << 0 << true;
    QTest::newRow("any: mixed") << 3 << false << 1 << -1 << true;
    QTest::newRow("any: both normal") << 3 << false << 0 << 0 << false;
    QTest::newRow("must normal: both 0") << 0 << true << 0 << 0 << true;
    QTest::newRow("must normal: one excess") << 0 << true << 0 << 1 << false;
    QTest::newRow("code 0 without must") << 0 << false << 0 << 0 << false;
    QTest::newRow("code 4 never") << 4 << false << -1 << -1 << false;
}

void TestCourseRules::meridianPositionTestsBothChannels() {
    QFETCH(int, code);
    QFETCH(bool, must);
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(bool, holds);
    MatchInputs in = normalInputs();
    in.channelGrades[1 - 1] = left;  // lung, left
    in.channelGrades[7 - 1] = right; // lung, right
    QCOMPARE(positionHolds(6, code, must, MatchRule{}, in), holds);
}

void TestCourseRules::eachMeridianPositionReadsItsOwnChannels() {
    // Positions 6..17 in editor order: LU, LI, PC, SJ, HT, SI, SP, ST, LR, GB, KI, BL.
    const int channels[12][2] = {{1, 7},   {6, 12},  {2, 8},   {5, 11},  {3, 9},   {4, 10},
                                 {13, 19}, {18, 24}, {14, 20}, {17, 23}, {15, 21}, {16, 22}};
    for (int i = 0; i < 12; ++i) {
        MatchInputs in = normalInputs();
        in.channelGrades[channels[i][0] - 1] = -1;
        in.channelGrades[channels[i][1] - 1] = -1;
        for (int p = 6; p <= 17; ++p)
            QVERIFY2(positionHolds(p, 1, false, MatchRule{}, in) == (p == 6 + i),
                     qPrintable(u"meridian %1, position %2"_s.arg(i + 1).arg(p)));
    }
}

void TestCourseRules::elementPositions_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("element");
    QTest::addColumn<int>("grade");
    QTest::addColumn<bool>("holds");
    QTest::newRow("wood deficient") << 18 << 1 << 0 << -1 << true;
    QTest::newRow("fire excess") << 19 << 2 << 1 << 2 << true;
    QTest::newRow("earth any") << 20 << 3 << 2 << -2 << true;
    QTest::newRow("metal deficient but excess") << 21 << 1 << 3 << 1 << false;
    QTest::newRow("water reads water, not metal") << 22 << 1 << 3 << -1 << false;
    QTest::newRow("water deficient") << 22 << 1 << 4 << -1 << true;
    QTest::newRow("code 5 never") << 18 << 5 << 0 << -1 << false;
}

void TestCourseRules::elementPositions() {
    QFETCH(int, position);
    QFETCH(int, code);
    QFETCH(int, element);
    QFETCH(int, grade);
    QFETCH(bool, holds);
    MatchInputs in = normalInputs();
    in.elementGrades[element] = grade;
    QCOMPARE(positionHolds(position, code, false, MatchRule{}, in), holds);
}

void TestCourseRules::agePosition_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("age");
    QTest::addColumn<bool>("holds");
    QTest::newRow("at least 60: 60") << 1 << 60 << 0 << 60 << true;
    QTest::newRow("at least 60: 59") << 1 << 60 << 0 << 59 << false;
    QTest::newRow("age 0 skips the position") << 1 << 60 << 0 << 0 << false;
    QTest::newRow("at most 18: 18") << 2 << 0 << 18 << 18 << true;
    QTest::newRow("at most 18: 19") << 2 << 0 << 18 << 19 << false;
    QTest::newRow("at most 18 but age 0 skipped") << 2 << 0 << 18 << 0 << false;
    QTest::newRow("between 6 and 18: 6") << 3 << 6 << 18 << 6 << true;
    QTest::newRow("between 6 and 18: 19") << 3 << 6 << 18 << 19 << false;
    QTest::newRow("code 4 never") << 4 << 0 << 100 << 40 << false;
}

void TestCourseRules::agePosition() {
    QFETCH(int, code);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, age);
    QFETCH(bool, holds);
    MatchInputs in = normalInputs();
    in.age = age;
    ConditionRule r = rule(codesAt({{23, code}}));
    r.ageLow = low;
    r.ageHigh = high;
    QCOMPARE(conditionHolds(r, in), holds);

    // The age position is a must: with a hit elsewhere a failing age still fails the condition,
    // while a skipped age (age 0) leaves the hit standing.
    in.verdicts[0] = -1;
    r.cond = codesAt({{1, 1}, {23, code}});
    QCOMPARE(conditionHolds(r, in), holds || age == 0);
}

void TestCourseRules::sexPosition_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("male");
    QTest::addColumn<bool>("holds");
    QTest::newRow("male for a man") << 1 << true << true;
    QTest::newRow("male for a woman") << 1 << false << false;
    QTest::newRow("female for a woman") << 2 << false << true;
    QTest::newRow("female for a man") << 2 << true << false;
    QTest::newRow("code 3 never") << 3 << true << false;
}

void TestCourseRules::sexPosition() {
    QFETCH(int, code);
    QFETCH(bool, male);
    QFETCH(bool, holds);
    MatchInputs in = normalInputs();
    in.male = male;
    QCOMPARE(conditionHolds(rule(codesAt({{24, code}})), in), holds);
    // A hit elsewhere does not rescue a failing sex: code 2 for a man fails even without must flags.
    in.verdicts[1] = 2;
    QCOMPARE(conditionHolds(rule(codesAt({{2, 2}, {24, code}}), QString(24, u'0')), in), holds);
}

void TestCourseRules::conditionNeedsEveryMustAndOneHit_data() {
    QTest::addColumn<QString>("cond");
    QTest::addColumn<QString>("must");
    QTest::addColumn<QList<int>>("lungGrades");
    QTest::addColumn<int>("bodyVerdict");
    QTest::addColumn<bool>("holds");
    const QList<int> normal{0, 0};
    QTest::newRow("code 2 at 1 holds when excited") << codesAt({{1, 2}}) << QString() << normal << 1 << true;
    QTest::newRow("code 2 at 1 fails when normal") << codesAt({{1, 2}}) << QString() << normal << 0 << false;
    QTest::newRow("must normal lung holds") << QString(24, u'0') << mustAt({6}) << normal << 0 << true;
    QTest::newRow("must normal lung fails on excess")
        << QString(24, u'0') << mustAt({6}) << QList<int>{1, 0} << 0 << false;
    QTest::newRow("lung deficiency holds")
        << codesAt({{6, 1}}) << QString() << QList<int>{-1, -1} << 0 << true;
    QTest::newRow("lung deficiency needs both")
        << codesAt({{6, 1}}) << QString() << QList<int>{-1, 0} << 0 << false;
    QTest::newRow("lung deficiency mixed")
        << codesAt({{6, 1}}) << QString() << QList<int>{-1, 1} << 0 << false;
    QTest::newRow("lung any with one side")
        << codesAt({{6, 3}}) << QString() << QList<int>{-1, 0} << 0 << true;
    QTest::newRow("either position hits without musts")
        << codesAt({{1, 1}, {6, 1}}) << QString() << QList<int>{-1, -1} << 0 << true;
    QTest::newRow("failing must stops a hit")
        << codesAt({{1, 1}, {6, 1}}) << mustAt({1}) << QList<int>{-1, -1} << 0 << false;
    QTest::newRow("both musts hold") << codesAt({{1, 1}, {6, 1}}) << mustAt({1, 6}) << QList<int>{-1, -1}
                                     << -1 << true;
    QTest::newRow("must flag at 23 is not consulted")
        << codesAt({{1, 1}}) << mustAt({23, 24}) << normal << -1 << true;
    QTest::newRow("all zeros never holds") << QString(24, u'0') << QString(24, u'0') << normal << 0 << false;
    QTest::newRow("empty strings never hold") << u"   "_s << QString() << normal << 0 << false;
}

void TestCourseRules::conditionNeedsEveryMustAndOneHit() {
    QFETCH(QString, cond);
    QFETCH(QString, must);
    QFETCH(QList<int>, lungGrades);
    QFETCH(int, bodyVerdict);
    QFETCH(bool, holds);
    MatchInputs in = normalInputs();
    in.channelGrades[0] = lungGrades[0];
    in.channelGrades[6] = lungGrades[1];
    in.verdicts[0] = bodyVerdict;
    QCOMPARE(conditionHolds(rule(cond, must), in), holds);
}

void TestCourseRules::courseNeedsRequiredConditions_data() {
    QTest::addColumn<QList<bool>>("holding");
    QTest::addColumn<QList<bool>>("required");
    QTest::addColumn<bool>("applies");
    QTest::newRow("no conditions") << QList<bool>{} << QList<bool>{} << false;
    QTest::newRow("one of three holds")
        << QList<bool>{false, true, false} << QList<bool>{false, false, false} << true;
    QTest::newRow("none holds") << QList<bool>{false, false} << QList<bool>{false, false} << false;
    QTest::newRow("a required one fails among three that hold")
        << QList<bool>{true, true, false, true} << QList<bool>{false, false, true, false} << false;
    QTest::newRow("required one fails first")
        << QList<bool>{false, true} << QList<bool>{true, false} << false;
    QTest::newRow("required one alone holds") << QList<bool>{true, false} << QList<bool>{true, false} << true;
}

void TestCourseRules::courseNeedsRequiredConditions() {
    QFETCH(QList<bool>, holding);
    QFETCH(QList<bool>, required);
    QFETCH(bool, applies);
    MatchInputs in = normalInputs();
    in.verdicts[0] = -1;
    QList<MatchRule> conditions;
    for (qsizetype i = 0; i < holding.size(); ++i) {
        // Code 1 at position 1 holds for the weak subject, code 2 does not.
        ConditionRule r = rule(codesAt({{1, holding[i] ? 1 : 2}}));
        r.required = required[i];
        conditions << matchRule(r);
    }
    QCOMPARE(courseApplies(conditions, in), applies);
}

void TestCourseRules::matchingKeepsOrderAndDuplicates() {
    MatchInputs in = normalInputs();
    in.verdicts[1] = 2;
    const MatchRule holds = matchRule(rule(codesAt({{2, 2}})));
    const MatchRule fails = matchRule(rule(codesAt({{2, 1}})));
    const QList<CourseRules> courses{
        {u"A1"_s, u"乙"_s, {holds}}, {u"A2"_s, u"丙"_s, {fails}}, {u"A3"_s, u"甲"_s, {fails, holds}},
        {u"A4"_s, u"乙"_s, {holds}}, {u"A5"_s, u"丁"_s, {}},
    };
    QCOMPARE(matchingCourses(courses, in), (QStringList{u"乙"_s, u"甲"_s, u"乙"_s}));
    QVERIFY(matchingCourses({}, in).isEmpty());
    QVERIFY(matchingCourses({courses[1]}, in).isEmpty());
}

void TestCourseRules::inputsComeFromTheAnalysis() {
    std::array<double, 24> w;
    w.fill(50.0);
    w[0] = w[6] = 30.0; // both lung channels low
    const AnalysisResult a = analyse(w, false);
    const MatchInputs in = matchInputs(a, 0.0, QDate(2026, 6, 1));
    QCOMPARE(in.age, 2026 - 1899); // a birth date stored as 0 counts as 1899
    QVERIFY(!in.male);
    QCOMPARE(in.bodyEnergy, a.bodyEnergy);
    QCOMPARE(in.channelGrades[0], -1);
    QCOMPARE(in.channelGrades[6], -1);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(in.verdicts[i], a.states[i].code);
    QVERIFY(conditionHolds(rule(codesAt({{6, 1}})), in));
    ConditionRule sixty = rule(codesAt({{23, 1}}));
    sixty.ageLow = 60;
    QVERIFY(conditionHolds(sixty, in));
    // Born this year: age 0, position 23 skipped, so the condition has no hit.
    const MatchInputs newborn = matchInputs(a, toDayCount(QDate(2026, 3, 1)), QDate(2026, 6, 1));
    QCOMPARE(newborn.age, 0);
    QVERIFY(!conditionHolds(sixty, newborn));
}

QTEST_APPLESS_MAIN(TestCourseRules)
#include "test_courserules.moc"
