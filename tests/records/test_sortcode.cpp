#include "records/listqueries.h"
#include "records/sortcode.h"
#include "recordfixture.h"
#include "storage/namesortkeys.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestSortCode : public QObject {
    Q_OBJECT
private slots:
    void storedCodeChoosesSortColumnDirectionAndSearch_data();
    void storedCodeChoosesSortColumnDirectionAndSearch();
    void boxesMakeCodes_data();
    void boxesMakeCodes();
    void subjectsComeInTheChosenOrder_data();
    void subjectsComeInTheChosenOrder();
    void prefixRange_data();
    void prefixRange();
};

void TestSortCode::storedCodeChoosesSortColumnDirectionAndSearch_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("sortColumn");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QString>("savingSearch");
    QTest::addColumn<QString>("readingSearch");
    QTest::newRow("1 number") << 1 << u"CUSTNO"_s << false << u"CUSTNO"_s << u"CUSTNO"_s;
    QTest::newRow("-2 name") << -2 << u"NAME"_s << true << u"NAME"_s << u"NAME"_s;
    QTest::newRow("3 sex") << 3 << u"SEX"_s << false << u"ADDR"_s << u"TEL3"_s;
    QTest::newRow("4 birth") << 4 << u"DBIRTH"_s << false << u"ADDR"_s << u"TEL3"_s;
    QTest::newRow("5 telephone") << 5 << u"TEL"_s << false << u"TEL"_s << u"TEL"_s;
    QTest::newRow("-6 address") << -6 << u"ADDR"_s << true << u"ADDR"_s << u"ADDR"_s;
    QTest::newRow("7 e-mail") << 7 << u"EMAIL"_s << false << u"ADDR"_s << u"EMAIL"_s;
    QTest::newRow("8 mobile") << 8 << u"TEL2"_s << false << u"ADDR"_s << u"TEL2"_s;
    QTest::newRow("-9 fax") << -9 << u"TEL3"_s << true << u"ADDR"_s << u"TEL3"_s;
    QTest::newRow("0 falls back") << 0 << u"CUSTNO"_s << false << u"CUSTNO"_s << u"CUSTNO"_s;
    QTest::newRow("12 falls back") << 12 << u"CUSTNO"_s << false << u"CUSTNO"_s << u"CUSTNO"_s;
}

void TestSortCode::storedCodeChoosesSortColumnDirectionAndSearch() {
    QFETCH(int, code);
    QFETCH(QString, sortColumn);
    QFETCH(bool, descending);
    QFETCH(QString, savingSearch);
    QFETCH(QString, readingSearch);
    const SubjectOrder order = SubjectOrder::fromCode(code);
    QCOMPARE(columnName(order.column), sortColumn);
    QCOMPARE(order.descending, descending);
    QCOMPARE(columnName(savingSearchColumn(order)), savingSearch);
    QCOMPARE(columnName(readingSearchColumn(order)), readingSearch);
}

void TestSortCode::boxesMakeCodes_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<int>("code");
    QTest::newRow("编号 递增") << 0 << false << 1;
    QTest::newRow("性别 递减") << 2 << true << -3;
    QTest::newRow("传真 递增") << 8 << false << 9;
}

void TestSortCode::boxesMakeCodes() {
    QFETCH(int, item);
    QFETCH(bool, descending);
    QFETCH(int, code);
    QCOMPARE(SubjectOrder::fromBoxes(item, descending).code(), code);
    QCOMPARE(SubjectOrder::fromCode(code).columnIndex(), item);
    QCOMPARE(sortColumnItems().at(item).isEmpty(), false);
}

void TestSortCode::subjectsComeInTheChosenOrder_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("telephone ignores letter case, a tie in order of entry")
        << 5 << QStringList{u"S2"_s, u"S4"_s, u"S1"_s, u"S3"_s};
    // 陈 chen, 李 li, 王 wang, 张 zhang: not the characters' code order.
    QTest::newRow("names in pinyin order") << 2 << QStringList{u"S4"_s, u"S2"_s, u"S1"_s, u"S3"_s};
    QTest::newRow("birth descending, a tie against the order of entry")
        << -4 << QStringList{u"S1"_s, u"S3"_s, u"S4"_s, u"S2"_s};
}

void TestSortCode::subjectsComeInTheChosenOrder() {
    QFETCH(int, code);
    QFETCH(QStringList, numbers);
    test::RecordFixture f;
    f.addSubject(u"S1"_s, u"王"_s, true, 3, {}, u"B"_s);
    f.addSubject(u"S2"_s, u"李"_s, true, 1, {}, u"a"_s);
    f.addSubject(u"S3"_s, u"张"_s, true, 2, {}, u"c"_s);
    f.addSubject(u"S4"_s, u"陈"_s, true, 1, {}, u"a"_s);
    QVERIFY(refreshNameSortKeys(f.db(), KeyCheck::Thorough));
    QSqlQuery q(f.db());
    QVERIFY(q.exec(u"SELECT CUSTNO FROM KYCUST "_s + subjectOrderBy(SubjectOrder::fromCode(code))));
    QStringList order;
    while (q.next())
        order << q.value(0).toString();
    QCOMPARE(order, numbers);
}

void TestSortCode::prefixRange_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::newRow("capitals fold") << u"AB"_s << u"ab"_s << u"ac"_s;
    QTest::newRow("ends in z") << u"Z"_s << u"z"_s << u"{"_s;
    // '@' is followed by the capitals, which folded texts never hold.
    QTest::newRow("ends in @") << u"x@"_s << u"x@"_s << u"x["_s;
    QTest::newRow("chinese") << u"王"_s << u"王"_s << u"玌"_s;
    QTest::newRow("last character at the top") << u"a\U0010FFFF"_s << u"a\U0010FFFF"_s << u"b"_s;
}

void TestSortCode::prefixRange() {
    QFETCH(QString, prefix);
    QFETCH(QString, low);
    QFETCH(QString, high);
    const PrefixRange r = nocasePrefixRange(prefix);
    QVERIFY(!r.unbounded);
    QCOMPARE(r.low, low);
    QCOMPARE(r.high, high);
    QVERIFY(nocasePrefixRange(QString()).unbounded);
}

QTEST_GUILESS_MAIN(TestSortCode)
#include "test_sortcode.moc"
