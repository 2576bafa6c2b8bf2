#include "records/listqueries.h"
#include "records/sortcode.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestSortCode : public QObject {
    Q_OBJECT
private slots:
    void codes_data();
    void codes();
    void boxesMakeCodes_data();
    void boxesMakeCodes();
    void orderBy_data();
    void orderBy();
    void prefixRange_data();
    void prefixRange();
};

void TestSortCode::codes_data() {
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

void TestSortCode::codes() {
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

void TestSortCode::orderBy_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("sql");
    QTest::newRow("text ascending") << 5 << u"ORDER BY TEL COLLATE NOCASE ASC, MKEY ASC"_s;
    // Names go in pinyin order, by the key kept beside each subject.
    QTest::newRow("name ascending")
        << 2 << u"ORDER BY (SELECT SORTKEY FROM KYCUST_SORT s WHERE s.MKEY = KYCUST.MKEY) ASC, MKEY ASC"_s;
    QTest::newRow("date descending") << -4 << u"ORDER BY DBIRTH DESC, MKEY DESC"_s;
}

void TestSortCode::orderBy() {
    QFETCH(int, code);
    QFETCH(QString, sql);
    QCOMPARE(subjectOrderBy(SubjectOrder::fromCode(code)), sql);
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
