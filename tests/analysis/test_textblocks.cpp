#include "analysis/textblocks.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(MeridianState)
Q_DECLARE_METATYPE(std::optional<int>)

namespace {

// Every text names its own column ("MA1", "MH5", ...), so a block shows which
// columns it took and in which order. Record 2 has an empty DtMA1; keys above
// 17 have no record.
class NamedTexts : public ReferenceTexts {
public:
    QString text(int key, TextColumn column) const override {
        if (key < 1 || key > 17 || (key == 2 && column == TextColumn::DtMA1))
            return {};
        return columnName(column).mid(2);
    }
    QByteArray picture(int key) const override {
        return key >= 1 && key <= 12 ? QByteArray("PNG") : QByteArray();
    }
};

const QString LowEnergy = u"【您的体能过度低落，请特别留意身体机能及经络的异常状态】"_s;

} // namespace

class TestTextBlocks : public QObject {
    Q_OBJECT
private slots:
    void stateBlocks_data();
    void stateBlocks();
    void meridianBlocks_data();
    void meridianBlocks();
    void emptyColumnKeepsItsLine();
    void missingRecordGivesEmptyTexts();
    void fromAnalysisResult();
    void explanation();

private:
    NamedTexts m_texts;
};

void TestTextBlocks::stateBlocks_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<std::optional<int>>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("body energy normal") << 13 << std::optional<int>(0) << u"MA1\n\nMA2"_s;
    QTest::newRow("body energy high") << 13 << std::optional<int>(2) << u"MA1\n\nMH1"_s;
    QTest::newRow("body energy weak") << 13 << std::optional<int>(-1) << u"MA1\n\nML1"_s;
    QTest::newRow("body energy -3 warns") << 13 << std::optional<int>(-3) << u"MA1\n\nML1\n\n"_s + LowEnergy;
    QTest::newRow("spirit -3 has no warning") << 14 << std::optional<int>(-3) << u"MA1\n\nML1"_s;
    QTest::newRow("autonomic 3") << 17 << std::optional<int>(3) << u"MA1\n\nMH1"_s;
    QTest::newRow("undefined ratio") << 15 << std::optional<int>() << u"MA1\n"_s;
}

void TestTextBlocks::stateBlocks() {
    QFETCH(int, key);
    QFETCH(std::optional<int>, code);
    QFETCH(QString, expected);
    QCOMPARE(stateDifferentiationBlock(m_texts, key, code), expected);
}

void TestTextBlocks::meridianBlocks_data() {
    QTest::addColumn<MeridianState>("state");
    QTest::addColumn<QString>("differentiation");
    QTest::addColumn<QString>("ryodoraku");
    QTest::addColumn<QString>("diet");
    QTest::addColumn<QString>("prescription");
    QTest::newRow("both excess (+2, +1)")
        << MeridianState::Excess << u"【肺经异常辩证】\n\nMA2\n\nMA1\n\nMH1"_s << u"MH5"_s << u"MA3\n\nMH4"_s
        << u"MH3\n\nMH2"_s;
    QTest::newRow("both deficiency") << MeridianState::Deficiency
                                     << u"【肺经异常辩证】\n\nMA2\n\nMA1\n\nML1"_s << u"ML5"_s
                                     << u"MA3\n\nML4"_s << u"ML3\n\nML2"_s;
    QTest::newRow("opposite signs (-1, +1)") << MeridianState::Mixed << u"【肺经异常辩证】\n\nMA2\n\nMA1\n"_s
                                             << QString() << u"MA3\n"_s << QString();
}

void TestTextBlocks::meridianBlocks() {
    QFETCH(MeridianState, state);
    QFETCH(QString, differentiation);
    QFETCH(QString, ryodoraku);
    QFETCH(QString, diet);
    QFETCH(QString, prescription);
    QCOMPARE(meridianDifferentiationBlock(m_texts, 1, state), differentiation);
    QCOMPARE(ryodorakuBlock(m_texts, 1, state), ryodoraku);
    QCOMPARE(dietBlock(m_texts, 1, state), diet);
    QCOMPARE(prescriptionBlock(m_texts, 1, state), prescription);
}

void TestTextBlocks::emptyColumnKeepsItsLine() {
    // Record 2's DtMA1 is empty: its line stays, with the blanks around it.
    QCOMPARE(meridianDifferentiationBlock(m_texts, 2, MeridianState::Excess),
             u"【心包经异常辩证】\n\nMA2\n\n\n\nMH1"_s);
    QCOMPARE(stateDifferentiationBlock(m_texts, 2, 0), u"\n\nMA2"_s);
}

void TestTextBlocks::missingRecordGivesEmptyTexts() {
    QCOMPARE(stateDifferentiationBlock(m_texts, 18, 0), u"\n\n"_s);
    const MeridianExplanation e = meridianExplanation(m_texts, 20);
    QVERIFY(e.mainText.isEmpty());
    QCOMPARE(e.prescriptionExcess, u"\n\n"_s);
    QVERIFY(e.picture.isEmpty());
}

void TestTextBlocks::fromAnalysisResult() {
    // Lung (+2, +1); four foot channels carry the difference so A stays 50.
    std::array<double, 24> w;
    w.fill(50.0);
    w[0] = 75.0;
    w[6] = 65.0;
    for (int c : {13, 14, 15, 16})
        w[c - 1] = 40.0;
    const AnalysisResult r = analyse(w, true);
    QCOMPARE(r.leftGrade(1), 2);
    QCOMPARE(r.rightGrade(1), 1);
    QCOMPARE(differentiationBlock(m_texts, r, 1), u"【肺经异常辩证】\n\nMA2\n\nMA1\n\nMH1"_s);
    QCOMPARE(differentiationBlock(m_texts, r, 13), u"MA1\n\nMA2"_s);
    QCOMPARE(ryodorakuBlock(m_texts, r, 1), u"MH5"_s);
    QCOMPARE(dietBlock(m_texts, r, 1), u"MA3\n\nMH4"_s);
    QCOMPARE(prescriptionBlock(m_texts, r, 1), u"MH3\n\nMH2"_s);
    QCOMPARE(prescriptionBlock(m_texts, r, 2), QString());
    QCOMPARE(ryodorakuBlock(m_texts, r, 13), QString());

    std::array<double, 24> low;
    low.fill(10.0);
    QCOMPARE(differentiationBlock(m_texts, analyse(low, true), 13), u"MA1\n\nML1\n\n"_s + LowEnergy);
}

void TestTextBlocks::explanation() {
    const MeridianExplanation e = meridianExplanation(m_texts, 12);
    QCOMPARE(e.attributes, (std::array<QString, 5>{u"EA1"_s, u"EA2"_s, u"EA3"_s, u"EA4"_s, u"EA5"_s}));
    QCOMPARE(e.points, (std::array<QString, 3>{u"Pot1"_s, u"Pot2"_s, u"Pot3"_s}));
    QCOMPARE(e.mainText, u"MA1"_s);
    QCOMPARE(e.excessText, u"MH1"_s);
    QCOMPARE(e.deficiencyText, u"ML1"_s);
    QCOMPARE(e.ryodorakuExcess, u"MH5"_s);
    QCOMPARE(e.ryodorakuDeficiency, u"ML5"_s);
    QCOMPARE(e.prescriptionExcess, u"MH3\n\nMH2"_s);
    QCOMPARE(e.prescriptionDeficiency, u"ML3\n\nML2"_s);
    QCOMPARE(e.dietExcess, u"MA3\n\nMH4"_s);
    QCOMPARE(e.dietDeficiency, u"ML4"_s);
    QCOMPARE(e.picture, QByteArray("PNG"));
}

QTEST_GUILESS_MAIN(TestTextBlocks)
#include "test_textblocks.moc"
