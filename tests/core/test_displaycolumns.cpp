#include "core/daycount.h"
#include "core/displaycolumns.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestDisplayColumns : public QObject {
    Q_OBJECT
private slots:
    void age_data();
    void age();
    void birthDateHiddenUpTo4000_data();
    void birthDateHiddenUpTo4000();
    void potentialAndSex();
    void channelValues_data();
    void channelValues();
    void countText_data();
    void countText();
    void memoLines_data();
    void memoLines();
};

void TestDisplayColumns::age_data() {
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("shown");
    // Only calendar years count, so the last day of a year is a full year older on New Year's day.
    QTest::newRow("31 Dec 1990 on 1 Jan 2026") << QDate(1990, 12, 31) << QDate(2026, 1, 1) << u" 36"_s;
    QTest::newRow("31 Dec 1990 on 31 Dec 2026") << QDate(1990, 12, 31) << QDate(2026, 12, 31) << u" 36"_s;
    QTest::newRow("born this year") << QDate(2026, 3, 1) << QDate(2026, 12, 9) << u"  0"_s;
    QTest::newRow("over a hundred") << QDate(1915, 6, 1) << QDate(2026, 1, 1) << u"111"_s;
}

void TestDisplayColumns::age() {
    QFETCH(QDate, birth);
    QFETCH(QDate, today);
    QFETCH(QString, shown);
    QCOMPARE(ageText(toDayCount(birth), today), shown);
}

void TestDisplayColumns::birthDateHiddenUpTo4000_data() {
    QTest::addColumn<double>("dbirth");
    QTest::addColumn<bool>("shown");
    QTest::newRow("not given") << 0.0 << false;
    QTest::newRow("day 4000") << 4000.0 << false;
    QTest::newRow("negative") << -10.0 << false;
    QTest::newRow("day 4000.5") << 4000.5 << true;
    QTest::newRow("day 4001") << 4001.0 << true;
}

void TestDisplayColumns::birthDateHiddenUpTo4000() {
    QFETCH(double, dbirth);
    QFETCH(bool, shown);
    QCOMPARE(!birthDateText(dbirth).isEmpty(), shown);
    QCOMPARE(!ageText(dbirth, QDate(2026, 1, 1)).isEmpty(), shown);
}

void TestDisplayColumns::potentialAndSex() {
    QCOMPARE(potentialText(true), u"高电位"_s);
    QCOMPARE(potentialText(false), u"标准"_s);
    QCOMPARE(sexText(true), u"男"_s);
    QCOMPARE(sexText(false), u"女"_s);
    QCOMPARE(panelSexText(false), u"女性"_s);
}

void TestDisplayColumns::channelValues_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("not measured") << 0.0 << QString();
    QTest::newRow("whole") << 45.0 << u"45"_s;
    QTest::newRow("one decimal") << 45.25 << u"45.3"_s;
    QTest::newRow("below one") << 0.5 << u".5"_s;
    QTest::newRow("largest") << 200.0 << u"200"_s;
}

void TestDisplayColumns::channelValues() {
    QFETCH(double, value);
    QFETCH(QString, shown);
    QCOMPARE(channelValueText(value), shown);
}

void TestDisplayColumns::countText_data() {
    QTest::addColumn<int>("subjects");
    QTest::addColumn<int>("measurements");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty register") << 0 << 0 << u"     0  -  [ 0 ]"_s;
    QTest::newRow("typical") << 3 << 12 << u"     3  -  [ 12 ]"_s;
    QTest::newRow("wider than six") << 1234567 << 7654321 << u"1234567  -  [ 7654321 ]"_s;
}

void TestDisplayColumns::countText() {
    QFETCH(int, subjects);
    QFETCH(int, measurements);
    QFETCH(QString, shown);
    QCOMPARE(orlu::countText(subjects, measurements), shown);
}

void TestDisplayColumns::memoLines_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one line") << u"头痛"_s << QStringList{u"头痛"_s};
    QTest::newRow("CR LF") << u"头痛\r\n失眠"_s << QStringList{u"头痛"_s, u"失眠"_s};
    QTest::newRow("blank middle line") << u"a\r\n\r\nb"_s << QStringList{u"a"_s, QString(), u"b"_s};
}

void TestDisplayColumns::memoLines() {
    QFETCH(QString, stored);
    QFETCH(QStringList, lines);
    QCOMPARE(splitMemoLines(stored), lines);
    QCOMPARE(joinMemoLines(lines), stored.isNull() ? QString(u""_s) : stored);
    // A box's line breaks are stored as CR LF.
    QCOMPARE(memoFromBoxText(memoToBoxText(stored)), joinMemoLines(lines));
}

QTEST_GUILESS_MAIN(TestDisplayColumns)
#include "test_displaycolumns.moc"
