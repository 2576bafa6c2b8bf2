#include "analysis/analysis.h"
#include "analysis/analysisviewstate.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

using Values = std::array<double, 24>;
Q_DECLARE_METATYPE(Values)

namespace {

Values uniform(double v) {
    Values w;
    w.fill(v);
    return w;
}

// All 50 except the listed channels; channels are one-based.
Values around50(std::initializer_list<std::pair<int, double>> changes) {
    Values w = uniform(50.0);
    for (const auto &[c, v] : changes)
        w[c - 1] = v;
    return w;
}

QStringList captions(const QList<ListRow> &rows) {
    QStringList out;
    for (const auto &r : rows)
        out << r.caption;
    return out;
}

QList<int> keys(const QList<ListRow> &rows) {
    QList<int> out;
    for (const auto &r : rows)
        out << r.key;
    return out;
}

} // namespace

class TestAnalysis : public QObject {
    Q_OBJECT
private slots:
    void allFifty();
    void handComputedSums();
    void bodyEnergyBands_data();
    void bodyEnergyBands();
    void channelGradeLimits_data();
    void channelGradeLimits();
    void elementGrades_data();
    void elementGrades();
    void spiritBands_data();
    void spiritBands();
    void balanceBands_data();
    void balanceBands();
    void autonomicBands_data();
    void autonomicBands();
    void lowestGroupZeroBecomesOne();
    void pairs_data();
    void pairs();
    void withoutTextsTheNumbersAreTheSame_data();
    void withoutTextsTheNumbersAreTheSame();
    void undefinedRatios_data();
    void undefinedRatios();
    void meridianLists_data();
    void meridianLists();
    void correctedValuesUseMeridianFactors();
    void viewStateFollowsTheMeasurement_data();
    void viewStateFollowsTheMeasurement();
};

void TestAnalysis::allFifty() {
    for (bool male : {true, false}) {
        const AnalysisResult r = analyse(uniform(50.0), male);
        QCOMPARE(r.bodyEnergy, 50.0);
        QCOMPARE(r.bands.scale, 1.0);
        QCOMPARE(r.bands.u1, 11.5);
        QCOMPARE(r.bands.u2, 21.0);
        QCOMPARE(r.bands.d1, 10.5);
        QCOMPARE(r.bands.d2, 20.0);
        for (int c = 1; c <= 24; ++c) {
            QCOMPARE(r.deviation(c), 0.0);
            QCOMPARE(r.grade(c), 0);
        }
        for (const auto &p : r.pairs) {
            QCOMPARE(p.difference, 0.0);
            QCOMPARE(p.code, 0);
            QCOMPARE(p.text, u"正常"_s);
            QCOMPARE(p.differenceText, u"#  0.0"_s);
            QCOMPARE(p.yinMeanText, u" 50.0"_s);
        }
        for (const auto &s : r.states) {
            QCOMPARE(s.code, std::optional<int>(0));
            QCOMPARE(s.colour, colours::Green);
        }
        for (StateItem item : {StateItem::Spirit, StateItem::Musculoskeletal, StateItem::Metabolism}) {
            QCOMPARE(r.state(item).value, std::optional<double>(1.0));
            QCOMPARE(r.state(item).valueText, u"1.000"_s);
            QCOMPARE(r.state(item).gauge, std::optional<int>(10));
        }
        QCOMPARE(r.state(StateItem::Autonomic).value, std::optional<double>(1.0));
        QCOMPARE(r.state(StateItem::BodyEnergy).verdictText, u"体能及元气状态正常"_s);
        QCOMPARE(r.state(StateItem::BodyEnergy).valueText, u"50.00"_s);
        QCOMPARE(r.state(StateItem::BodyEnergy).gauge, std::optional<int>(50));
        QCOMPARE(r.state(StateItem::Spirit).sumText, u"上 600.0 / 下 600.0 ="_s);
        QCOMPARE(r.state(StateItem::Autonomic).sumText, u"高 150.0 / 低 150.0 ="_s);
        for (const auto &e : r.elements) {
            QCOMPARE(e.grade, 0);
            QCOMPARE(e.meanText, u"50.0"_s);
            QCOMPARE(e.distanceText, u"[0.0]"_s);
            QCOMPARE(e.gauge, 50);
        }
        QCOMPARE(captions(r.differentiationList),
                 QStringList({u"   身体能量状况"_s, u"   精神压力状态"_s, u"   肌肉骨骼系统"_s,
                              u"   机体新陈代谢"_s, u"   自律神经功能"_s}));
        QCOMPARE(keys(r.differentiationList), QList<int>({13, 14, 15, 16, 17}));
        QVERIFY(r.dietList.isEmpty());
        QVERIFY(r.prescriptionList.isEmpty());
        QCOMPARE(r.sexLabel, male ? u"男  性"_s : u"女  性"_s);
        QCOMPARE(r.state(StateItem::BodyEnergy).normalRange, male ? u"(28 - 59)"_s : u"(26 - 58)"_s);
    }
}

// w[c] = c * c: every sum, mean and group worked out by hand.
void TestAnalysis::handComputedSums() {
    Values w;
    for (int c = 1; c <= 24; ++c)
        w[c - 1] = c * c;
    const AnalysisResult r = analyse(w, true);
    QCOMPARE(r.groups, (std::array<double, 8>{14, 77, 194, 365, 590, 869, 1202, 1589}));
    QCOMPARE(r.yinSum, 2000.0);
    QCOMPARE(r.yangSum, 2900.0);
    QCOMPARE(r.upperSum, 650.0);
    QCOMPARE(r.lowerSum, 4250.0);
    QCOMPARE(r.leftSum, 1550.0);
    QCOMPARE(r.rightSum, 3350.0);
    QCOMPARE(r.bodyEnergy, 4900.0 / 24.0);
    QCOMPARE(r.highestGroup, 1589.0);
    QCOMPARE(r.lowestGroup, 14.0);
    QCOMPARE(r.meridianMean(1), 25.0);   // (1 + 49) / 2
    QCOMPARE(r.meridianMean(6), 90.0);   // (36 + 144) / 2
    QCOMPARE(r.meridianMean(7), 265.0);  // (169 + 361) / 2
    QCOMPARE(r.meridianMean(12), 450.0); // (324 + 576) / 2
    QCOMPARE(r.element(Element::Wood).mean, 353.5);
    QCOMPARE(r.element(Element::Fire).mean, 52.5);
    QCOMPARE(r.element(Element::Earth).mean, 357.5);
    QCOMPARE(r.element(Element::Metal).mean, 57.5);
    QCOMPARE(r.element(Element::Water).mean, 351.5);
    QCOMPARE(r.deviation(24), 576.0 - 4900.0 / 24.0);
    QCOMPARE(r.state(StateItem::Spirit).value, std::optional<double>(650.0 / 4250.0));
    QCOMPARE(r.state(StateItem::Spirit).sumText, u"上 650.0 / 下4250.0 ="_s);
    QCOMPARE(r.state(StateItem::Musculoskeletal).value, std::optional<double>(1550.0 / 3350.0));
    QCOMPARE(r.state(StateItem::Metabolism).value, std::optional<double>(2000.0 / 2900.0));
    QCOMPARE(r.state(StateItem::Autonomic).value, std::optional<double>(1589.0 / 14.0));
    // Pair KI-BL: M9 = (225 + 441) / 2 = 333, M10 = (256 + 484) / 2 = 370.
    QCOMPARE(r.pairs[5].yinMeridian, 9);
    QCOMPARE(r.pairs[5].yangMeridian, 10);
    QCOMPARE(r.pairs[5].difference, 37.0);
}

void TestAnalysis::bodyEnergyBands_data() {
    QTest::addColumn<double>("energy");
    QTest::addColumn<bool>("male");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("male 28.0 normal") << 28.0 << true << 0 << u"体能及元气状态正常"_s;
    QTest::newRow("male 27.99 weak") << 27.99 << true << -1 << u"体能元气状态偏虚,但仍属正常"_s;
    QTest::newRow("male 59.0 normal") << 59.0 << true << 0 << u"体能及元气状态正常"_s;
    QTest::newRow("female 59.0 high") << 59.0 << false << 1 << u"体能状态偏旺,但仍在正常范围"_s;
    QTest::newRow("male 68 excited") << 68.0 << true << 3 << u"体能状态亢奋,活动力旺盛"_s;
    QTest::newRow("female 68 excited") << 68.0 << false << 3 << u"体能状态亢奋,活动力旺盛"_s;
    QTest::newRow("male 18.99 low") << 18.99 << true << -3 << u"体能状况低落,元气不足"_s;
    QTest::newRow("male 19 weak") << 19.0 << true << -2 << u"体能精气状态稍弱"_s;
    QTest::newRow("female 18 weak") << 18.0 << false << -2 << u"体能精气状态稍弱"_s;
    QTest::newRow("female 26 normal") << 26.0 << false << 0 << u"体能及元气状态正常"_s;
    QTest::newRow("male 62 slightly excited") << 62.0 << true << 2 << u"体能状态略有亢奋现象"_s;
    QTest::newRow("female 66.99 slightly excited") << 66.99 << false << 2 << u"体能状态略有亢奋现象"_s;
}

void TestAnalysis::bodyEnergyBands() {
    QFETCH(double, energy);
    QFETCH(bool, male);
    QFETCH(int, code);
    QFETCH(QString, text);
    const AnalysisResult r = analyse(uniform(energy), male);
    const StateIndicator &s = r.state(StateItem::BodyEnergy);
    QCOMPARE(s.code, std::optional<int>(code));
    QCOMPARE(s.verdictText, text);
    const Rgb expected = code == 0 ? colours::Green : (std::abs(code) == 3 ? colours::Red : colours::Yellow);
    QCOMPARE(s.colour, expected);
}

void TestAnalysis::channelGradeLimits_data() {
    QTest::addColumn<double>("deviation");
    QTest::addColumn<int>("grade");
    QTest::newRow("on U1") << 11.5 << 0;
    QTest::newRow("past U1") << 11.51 << 1;
    QTest::newRow("on U2") << 21.0 << 1;
    QTest::newRow("past U2") << 21.01 << 2;
    QTest::newRow("on D1") << -10.5 << 0;
    QTest::newRow("past D1") << -10.51 << -1;
    QTest::newRow("on D2") << -20.0 << -1;
    QTest::newRow("past D2") << -20.01 << -2;
    // An upward deviation between D1 and U1 is still normal: the limits differ by direction.
    QTest::newRow("+11 normal") << 11.0 << 0;
    QTest::newRow("-11 deficient") << -11.0 << -1;
}

void TestAnalysis::channelGradeLimits() {
    QFETCH(double, deviation);
    QFETCH(int, grade);
    // The opposite change on channel 13 keeps the body energy at 50 (S = 1).
    const AnalysisResult r = analyse(around50({{1, 50.0 + deviation}, {13, 50.0 - deviation}}), true);
    QCOMPARE(r.bodyEnergy, 50.0);
    QCOMPARE(r.grade(1), grade);
}

void TestAnalysis::elementGrades_data() {
    QTest::addColumn<double>("shift");
    QTest::addColumn<int>("woodGrade");
    QTest::addColumn<int>("metalGrade");
    QTest::addColumn<QString>("woodDistance");
    QTest::newRow("on the limits") << 10.5 << 0 << 0 << u"[10.5]"_s;
    QTest::newRow("one grade") << 12.0 << 1 << -1 << u"[12.0]"_s;
    QTest::newRow("two grades") << 25.0 << 2 << -2 << u"[25.0]"_s;
}

void TestAnalysis::elementGrades() {
    QFETCH(double, shift);
    QFETCH(int, woodGrade);
    QFETCH(int, metalGrade);
    QFETCH(QString, woodDistance);
    // Wood channels (LR, GB) up, metal channels (LU, LI) down by the same amount.
    Values w = uniform(50.0);
    for (int c : {14, 17, 20, 23})
        w[c - 1] += shift;
    for (int c : {1, 6, 7, 12})
        w[c - 1] -= shift;
    const AnalysisResult r = analyse(w, true);
    QCOMPARE(r.element(Element::Wood).grade, woodGrade);
    QCOMPARE(r.element(Element::Metal).grade, metalGrade);
    QCOMPARE(r.element(Element::Fire).grade, 0);
    QCOMPARE(r.element(Element::Wood).distanceText, woodDistance);
    QCOMPARE(r.element(Element::Metal).colour, gradeColour(metalGrade));
    QCOMPARE(r.element(Element::Metal).distanceText, u"[-"_s + woodDistance.mid(1));
}

void TestAnalysis::spiritBands_data() {
    QTest::addColumn<double>("hand");
    QTest::addColumn<bool>("male");
    QTest::addColumn<int>("code");
    QTest::newRow("male 1.17") << 117.0 << true << 1;
    QTest::newRow("male 1.15") << 115.0 << true << 0;
    QTest::newRow("male 1.16 lower bound") << 116.0 << true << 1;
    QTest::newRow("male 0.88 lower bound") << 88.0 << true << 0;
    QTest::newRow("male 0.62") << 62.0 << true << -3;
    QTest::newRow("male 1.41") << 141.0 << true << 3;
    QTest::newRow("female 1.07") << 107.0 << false << 1;
    QTest::newRow("female 1.05") << 105.0 << false << 0;
    QTest::newRow("female 1.2") << 120.0 << false << 2;
    QTest::newRow("female 0.77") << 77.0 << false << -1;
}

void TestAnalysis::spiritBands() {
    QFETCH(double, hand);
    QFETCH(bool, male);
    QFETCH(int, code);
    // Hand channels at `hand`, foot channels at 100: the spirit ratio is hand / 100.
    Values w = uniform(100.0);
    for (int c = 1; c <= 12; ++c)
        w[c - 1] = hand;
    const AnalysisResult r = analyse(w, male);
    QCOMPARE(r.state(StateItem::Spirit).code, std::optional<int>(code));
    QCOMPARE(r.state(StateItem::Spirit).verdictText, verdictText(StateItem::Spirit, code));
    QCOMPARE(r.state(StateItem::Spirit).normalRange, male ? u"(0.88-1.15)"_s : u"(0.78-1.05)"_s);
}

void TestAnalysis::balanceBands_data() {
    QTest::addColumn<double>("left");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.39") << 39.0 << -3 << u"左侧气血衰弱,肌肉骨骼系统有明显运作不良"_s;
    QTest::newRow("0.4") << 40.0 << -2 << u"右侧气血旺盛,肌骨系统运作失调"_s;
    QTest::newRow("0.8") << 80.0 << 0 << u"左右气血平衡,肌肉骨骼系统运作正常"_s;
    QTest::newRow("1.2") << 120.0 << 1 << u"左右稍微失衡,肌骨系统稍有障碍"_s;
    QTest::newRow("1.6") << 160.0 << 3 << u"右侧气血衰弱,肌肉骨骼系统运作有明显障碍"_s;
}

void TestAnalysis::balanceBands() {
    QFETCH(double, left);
    QFETCH(int, code);
    QFETCH(QString, text);
    // Left channels at `left`, right at 100.
    Values w = uniform(100.0);
    for (int c : {1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 17, 18})
        w[c - 1] = left;
    const AnalysisResult r = analyse(w, true);
    QCOMPARE(r.state(StateItem::Musculoskeletal).code, std::optional<int>(code));
    QCOMPARE(r.state(StateItem::Musculoskeletal).verdictText, text);
    QCOMPARE(r.state(StateItem::Metabolism).code, std::optional<int>(0));
}

void TestAnalysis::autonomicBands_data() {
    QTest::addColumn<double>("first");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("ratioText");
    QTest::newRow("1.5") << 75.0 << 0 << u"1.500"_s;
    QTest::newRow("1.51") << 75.5 << 1 << u"1.510"_s;
    QTest::newRow("1.79") << 89.5 << 1 << u"1.790"_s;
    QTest::newRow("1.8 upper bound") << 90.0 << 1 << u"1.800"_s;
    QTest::newRow("1.81") << 90.5 << 2 << u"1.810"_s;
    QTest::newRow("2.1 upper bound") << 105.0 << 2 << u"2.100"_s;
    QTest::newRow("2.11") << 105.5 << 3 << u"2.110"_s;
}

void TestAnalysis::autonomicBands() {
    QFETCH(double, first);
    QFETCH(int, code);
    QFETCH(QString, ratioText);
    // Group 1 raised, every other group 150.
    const AnalysisResult r = analyse(around50({{1, first}, {2, first}, {3, first}}), true);
    const StateIndicator &s = r.state(StateItem::Autonomic);
    QCOMPARE(s.code, std::optional<int>(code));
    QCOMPARE(s.valueText, ratioText);
    QCOMPARE(s.verdictText, verdictText(StateItem::Autonomic, code));
    const Rgb expected = code == 0 ? colours::Green : (code == 3 ? colours::Red : colours::Yellow);
    QCOMPARE(s.colour, expected);
}

void TestAnalysis::lowestGroupZeroBecomesOne() {
    Values w = uniform(20.0);
    for (int c : {1, 2, 3})
        w[c - 1] = 30.0;
    for (int c : {22, 23, 24})
        w[c - 1] = 0.0;
    const AnalysisResult r = analyse(w, true);
    QCOMPARE(r.highestGroup, 90.0);
    QCOMPARE(r.lowestGroup, 1.0);
    const StateIndicator &s = r.state(StateItem::Autonomic);
    QCOMPARE(s.value, std::optional<double>(90.0));
    QCOMPARE(s.valueText, u"90.000"_s);
    QCOMPARE(s.sumText, u"高  90.0 / 低   1.0 ="_s);
    QCOMPARE(s.code, std::optional<int>(3));
    QCOMPARE(s.gauge, std::optional<int>(900));
}

void TestAnalysis::pairs_data() {
    QTest::addColumn<double>("lung");
    QTest::addColumn<double>("largeIntestine");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("differenceText");
    QTest::addColumn<int>("gauge");
    QTest::newRow("21.99 normal") << 60.995 << 39.005 << 0 << u"正常"_s << u"# 22.0"_s << 22;
    QTest::newRow("exactly 22 S") << 61.0 << 39.0 << 1 << u"尚可"_s << u"# 22.0"_s << 22;
    QTest::newRow("exactly 41 S") << 70.5 << 29.5 << 2 << u"表里不平衡"_s << u"# 41.0"_s << 41;
    QTest::newRow("130 gauge limited") << 115.0 << -15.0 << 2 << u"表里不平衡"_s << u"#130.0"_s << 100;
    QTest::newRow("5 padded") << 52.5 << 47.5 << 0 << u"正常"_s << u"#  5.0"_s << 5;
    QTest::newRow("2.5 rounds to even") << 51.25 << 48.75 << 0 << u"正常"_s << u"#  2.5"_s << 2;
    QTest::newRow("3.5 rounds to even") << 51.75 << 48.25 << 0 << u"正常"_s << u"#  3.5"_s << 4;
    QTest::newRow("yang above yin") << 39.0 << 61.0 << 1 << u"尚可"_s << u"# 22.0"_s << 22;
}

void TestAnalysis::pairs() {
    QFETCH(double, lung);
    QFETCH(double, largeIntestine);
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(QString, differenceText);
    QFETCH(int, gauge);
    const AnalysisResult r =
        analyse(around50({{1, lung}, {7, lung}, {6, largeIntestine}, {12, largeIntestine}}), true);
    QCOMPARE(r.bodyEnergy, 50.0);
    const PairBalance &p = r.pairs[0];
    QCOMPARE(p.yinMeridian, 1);
    QCOMPARE(p.yangMeridian, 6);
    QCOMPARE(p.code, code);
    QCOMPARE(p.text, text);
    QCOMPARE(p.colour, pairColour(code));
    QCOMPARE(p.differenceText, differenceText);
    QCOMPARE(p.gauge, gauge);
    for (int i = 1; i < PairCount; ++i)
        QCOMPARE(r.pairs[i].code, 0);
}

void TestAnalysis::withoutTextsTheNumbersAreTheSame_data() {
    QTest::addColumn<Values>("values");
    QTest::addColumn<bool>("male");
    QTest::newRow("all 50") << uniform(50.0) << true;
    QTest::newRow("graded channels, woman")
        << around50({{1, 5}, {7, 90}, {13, 8}, {19, 9}, {24, 120}}) << false;
    QTest::newRow("low energy") << uniform(12.0) << true;
    Values yang = uniform(40.0);
    for (int c : {4, 5, 6, 10, 11, 12, 16, 17, 18, 22, 23, 24})
        yang[c - 1] = 0.0;
    QTest::newRow("undefined ratio") << yang << false;
}

// The export analyses without display texts; its numbers must be those the window shows.
void TestAnalysis::withoutTextsTheNumbersAreTheSame() {
    QFETCH(Values, values);
    QFETCH(bool, male);
    const AnalysisResult full = analyse(values, male);
    const AnalysisResult bare = analyse(values, male, AnalysisTexts::Omitted);
    QCOMPARE(bare.bodyEnergy, full.bodyEnergy);
    QCOMPARE(bare.channelGrades, full.channelGrades);
    QCOMPARE(bare.deviations, full.deviations);
    QCOMPARE(bare.meridianMeans, full.meridianMeans);
    for (int i = 0; i < StateItemCount; ++i) {
        QCOMPARE(bare.states[i].value, full.states[i].value);
        QCOMPARE(bare.states[i].code, full.states[i].code);
        QCOMPARE(bare.states[i].gauge, full.states[i].gauge);
        QCOMPARE(bare.states[i].colour, full.states[i].colour);
    }
    for (int i = 0; i < PairCount; ++i)
        QCOMPARE(bare.pairs[i].code, full.pairs[i].code);
    for (int i = 0; i < ElementCount; ++i)
        QCOMPARE(bare.elements[i].grade, full.elements[i].grade);
    for (int m = 1; m <= 12; ++m)
        QCOMPARE(bare.meridianState(m), full.meridianState(m));
    QVERIFY(bare.states[0].verdictText.isEmpty() && bare.differentiationList.isEmpty());
}

void TestAnalysis::undefinedRatios_data() {
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("undefinedItem");
    // Foot channels cancel out: lower sum 0.
    Values lower = uniform(0.0);
    for (int c = 1; c <= 12; ++c)
        lower[c - 1] = 40.0;
    lower[12] = 10.0;
    lower[13] = -10.0;
    QTest::newRow("lower sum 0") << lower << static_cast<int>(StateItem::Spirit);
    // Right channels cancel out: right sum 0.
    Values right = uniform(40.0);
    for (int c : {7, 8, 9, 10, 11, 12, 19, 20, 21, 22, 23, 24})
        right[c - 1] = 0.0;
    right[6] = 5.0;
    right[19] = -5.0;
    QTest::newRow("right sum 0") << right << static_cast<int>(StateItem::Musculoskeletal);
    // Yang channels cancel out: yang sum 0.
    Values yang = uniform(40.0);
    for (int c : {4, 5, 6, 10, 11, 12, 16, 17, 18, 22, 23, 24})
        yang[c - 1] = 0.0;
    yang[3] = 7.0;
    yang[15] = -7.0;
    QTest::newRow("yang sum 0") << yang << static_cast<int>(StateItem::Metabolism);
}

void TestAnalysis::undefinedRatios() {
    QFETCH(Values, values);
    QFETCH(int, undefinedItem);
    const AnalysisResult r = analyse(values, true);
    for (const StateIndicator &s : r.states) {
        if (static_cast<int>(s.item) == undefinedItem) {
            QVERIFY(!s.value);
            QVERIFY(!s.code);
            QVERIFY(!s.gauge);
            QVERIFY(s.valueText.isEmpty());
            QVERIFY(s.verdictText.isEmpty());
            QCOMPARE(s.colour, colours::Grey);
            QVERIFY(!s.sumText.isEmpty());
        } else {
            QVERIFY2(s.value && s.code && s.gauge, qPrintable(s.caption));
            QVERIFY(std::isfinite(*s.value));
        }
    }
    // The rest of the analysis is still there: state rows and pair texts.
    QCOMPARE(r.differentiationList.size() >= 5, true);
    for (const auto &p : r.pairs)
        QVERIFY(!p.text.isEmpty());
}

void TestAnalysis::meridianLists_data() {
    QTest::addColumn<Values>("values");
    QTest::addColumn<QStringList>("extraDifferentiation");
    QTest::addColumn<QList<int>>("dietKeys");
    QTest::addColumn<QStringList>("prescription");
    // Lung (+1, -2), channel 13 brings A back to 50 without a grade of its own.
    QTest::newRow("lung opposite signs")
        << around50({{1, 65.0}, {7, 25.0}, {13, 60.0}}) << QStringList{u"【肺经异常辩证】"_s} << QList<int>{1}
        << QStringList{};
    QTest::newRow("lung one channel")
        << around50({{1, 65.0}, {13, 35.0}}) << QStringList{} << QList<int>{} << QStringList{};
    QTest::newRow("stomach both excess")
        << around50({{18, 65.0}, {24, 65.0}, {1, 40.0}, {2, 40.0}, {3, 40.0}})
        << QStringList{u"【胃经异常辩证】"_s} << QList<int>{12} << QStringList{u"【胃经异常】"_s};
    QTest::newRow("stomach opposite signs")
        << around50({{18, 65.0}, {24, 35.0}}) << QStringList{u"【胃经异常辩证】"_s} << QList<int>{12}
        << QStringList{};
    QTest::newRow("two meridians in standard order")
        << around50({{12, 25.0}, {6, 25.0}, {2, 75.0}, {8, 75.0}})
        << QStringList{u"【心包经异常辩证】"_s, u"【大肠经异常辩证】"_s} << QList<int>{2, 6}
        << QStringList{u"【心包经异常】"_s, u"【大肠经异常】"_s};
}

void TestAnalysis::meridianLists() {
    QFETCH(Values, values);
    QFETCH(QStringList, extraDifferentiation);
    QFETCH(QList<int>, dietKeys);
    QFETCH(QStringList, prescription);
    const AnalysisResult r = analyse(values, true);
    QCOMPARE(r.differentiationList.size(), 5 + extraDifferentiation.size());
    QCOMPARE(captions(r.differentiationList).mid(5), extraDifferentiation);
    QCOMPARE(keys(r.differentiationList).mid(5), dietKeys);
    QCOMPARE(keys(r.dietList), dietKeys);
    for (int i = 0; i < r.dietList.size(); ++i) {
        QCOMPARE(r.dietList[i].key, r.differentiationList[i + 5].key);
        QCOMPARE(r.dietList[i].caption, dietCaption(r.dietList[i].key));
    }
    QCOMPARE(captions(r.prescriptionList), prescription);
}

void TestAnalysis::correctedValuesUseMeridianFactors() {
    Values plain = uniform(100.0);
    const Values w = correctedValues(plain);
    QCOMPARE(w[0], 85.41);
    QCOMPARE(w[6], 85.41);
    QCOMPARE(w[13], 124.24);
    QCOMPARE(w[12], 100.0);
}

// The analysis window opens where it was left unless the measurement changed meanwhile.
void TestAnalysis::viewStateFollowsTheMeasurement_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("chart");
    enum { Nothing, Cleared, PointMeasured, Loaded };
    QTest::newRow("unchanged") << int(Nothing) << 3 << 5;
    QTest::newRow("cleared") << int(Cleared) << 0 << 5;
    QTest::newRow("point measured") << int(PointMeasured) << 3 << 1;
    QTest::newRow("loaded") << int(Loaded) << 0 << 1;
}

void TestAnalysis::viewStateFollowsTheMeasurement() {
    QFETCH(int, change);
    QFETCH(int, page);
    QFETCH(int, chart);
    CurrentMeasurement m;
    AnalysisViewState view;
    view.follow(m);
    view.page = 3;
    view.chart = 5;
    if (change == 1 || change == 3)
        ++m.measurementsBegun;
    if (change == 2 || change == 3)
        ++m.readingsTaken;
    view.follow(m);
    QCOMPARE(view.page, page);
    QCOMPARE(view.chart, chart);
    // Following again changes nothing.
    view.page = 2;
    view.follow(m);
    QCOMPARE(view.page, 2);
}

QTEST_GUILESS_MAIN(TestAnalysis)
#include "test_analysis.moc"
