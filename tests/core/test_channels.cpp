#include "core/channels.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestChannels : public QObject {
    Q_OBJECT
private slots:
    void meridianOfChannel_data();
    void meridianOfChannel();
    void gridCellRoundTrip();
    void channelOfGridCell_data();
    void channelOfGridCell();
    void partnersArePairedAcrossOrganTypes();
    void correctionSharedBySides_data();
    void correctionSharedBySides();
    void pointPictureNames_data();
    void pointPictureNames();
    void ordersCoverEveryMeridianOnce();
    void captionsInTheirSpacing_data();
    void captionsInTheirSpacing();
};

void TestChannels::meridianOfChannel_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("meridian");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("hand");
    QTest::newRow("left lung") << 1 << 1 << true << true;
    QTest::newRow("right lung") << 7 << 1 << false << true;
    QTest::newRow("right large intestine") << 12 << 6 << false << true;
    QTest::newRow("left spleen") << 13 << 7 << true << false;
    QTest::newRow("left stomach") << 18 << 12 << true << false;
    QTest::newRow("right spleen") << 19 << 7 << false << false;
    QTest::newRow("right stomach") << 24 << 12 << false << false;
}

void TestChannels::meridianOfChannel() {
    QFETCH(int, channel);
    QFETCH(int, meridian);
    QFETCH(bool, left);
    QFETCH(bool, hand);
    QCOMPARE(orlu::meridianOfChannel(channel), meridian);
    QCOMPARE(sideOfChannel(channel) == Side::Left, left);
    QCOMPARE(limbOfChannel(channel) == Limb::Hand, hand);
    QCOMPARE(channelOf(meridian, left ? Side::Left : Side::Right), channel);
}

void TestChannels::gridCellRoundTrip() {
    for (int c = 1; c <= ChannelCount; ++c) {
        const GridCell cell = gridCellOfChannel(c);
        QCOMPARE(orlu::channelOfGridCell(cell.row, cell.column), std::optional<int>(c));
    }
}

void TestChannels::channelOfGridCell_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("channel"); // 0: no channel
    QTest::newRow("right spleen") << 2 << 7 << 19;
    QTest::newRow("left spleen") << 1 << 7 << 13;
    QTest::newRow("right lung") << 2 << 1 << 7;
    QTest::newRow("header row") << 0 << 3 << 0;
    QTest::newRow("header column") << 1 << 0 << 0;
    QTest::newRow("beyond grid") << 3 << 1 << 0;
}

void TestChannels::channelOfGridCell() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, channel);
    QCOMPARE(orlu::channelOfGridCell(row, column).value_or(0), channel);
}

void TestChannels::partnersArePairedAcrossOrganTypes() {
    for (int m = 1; m <= MeridianCount; ++m) {
        const Meridian &me = meridian(m);
        const Meridian &p = meridian(me.partner);
        QCOMPARE(p.partner, m);
        QVERIFY(p.organ != me.organ);
        QCOMPARE(p.limb, me.limb);
        QCOMPARE(p.element, me.element);
    }
}

void TestChannels::correctionSharedBySides_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("factor");
    QTest::newRow("left lung") << 1 << 0.8541;
    QTest::newRow("right lung") << 7 << 0.8541;
    QTest::newRow("left spleen") << 13 << 1.0;
    QTest::newRow("right spleen") << 19 << 1.0;
    QTest::newRow("left liver") << 14 << 1.2424;
    QTest::newRow("right stomach") << 24 << 1.1388;
}

void TestChannels::correctionSharedBySides() {
    QFETCH(int, channel);
    QFETCH(double, factor);
    QCOMPARE(correctionFactor(channel), factor);
    QCOMPARE(correctedValue(channel, 100.0), 100.0 * factor);
}

void TestChannels::pointPictureNames_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("name");
    QTest::newRow("1 photo") << 1 << 1 << u"PLh1.bmp"_s;
    QTest::newRow("12 photo") << 1 << 12 << u"PRh6.bmp"_s;
    QTest::newRow("13 photo") << 1 << 13 << u"PLf1.bmp"_s;
    QTest::newRow("24 composite") << 3 << 24 << u"CRf6.bmp"_s;
    QTest::newRow("9 image") << 2 << 9 << u"GRh3.bmp"_s;
}

void TestChannels::pointPictureNames() {
    QFETCH(int, style);
    QFETCH(int, channel);
    QFETCH(QString, name);
    QCOMPARE(pointPictureName(pointPictureStyleOf(style), channel), name);
}

void TestChannels::ordersCoverEveryMeridianOnce() {
    for (const auto *order : {&generatingOrder(), &controllingOrder(), &standardOrderPairs()}) {
        QSet<int> seen;
        for (const ElementColumn &col : *order) {
            QCOMPARE(meridian(col.yin).partner, col.yang);
            QCOMPARE(meridian(col.yin).element, col.element);
            seen << col.yin << col.yang;
        }
        QCOMPARE(seen.size(), MeridianCount);
    }
}

void TestChannels::captionsInTheirSpacing_data() {
    QTest::addColumn<int>("meridian");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("fullCaption");
    const int tight = int(NameSpacing::Tight), two = int(NameSpacing::TwoBlanks),
              four = int(NameSpacing::FourBlanks), full = int(NameSpacing::FullWidth);
    QTest::newRow("lung tight") << 1 << tight << u"肺经"_s << u"手太阴 肺经"_s;
    QTest::newRow("lung two blanks") << 1 << two << u"肺  经"_s << u"手太阴 肺  经"_s;
    QTest::newRow("lung four blanks") << 1 << four << u"肺    经"_s << u"手太阴 肺    经"_s;
    QTest::newRow("stomach full width") << 12 << full << u"胃\u3000经"_s << u"足阳明 胃\u3000经"_s;
    QTest::newRow("pericardium tight") << 2 << tight << u"心包经"_s << u"手厥阴 心包经"_s;
    QTest::newRow("bladder full width") << 10 << full << u"膀胱经"_s << u"足太阳 膀胱经"_s;
}

void TestChannels::captionsInTheirSpacing() {
    QFETCH(int, meridian);
    QFETCH(int, spacing);
    QFETCH(QString, caption);
    QFETCH(QString, fullCaption);
    QCOMPARE(meridianCaption(meridian, NameSpacing(spacing)), caption);
    QCOMPARE(meridianFullCaption(meridian, NameSpacing(spacing)), fullCaption);
    QCOMPARE(bracketedElementLabel(ElementGroup::Metal), u"【 金 】"_s);
    QCOMPARE(bracketedElementLabel(ElementGroup::MinisterFire), u"【相火】"_s);
}

QTEST_GUILESS_MAIN(TestChannels)
#include "test_channels.moc"
