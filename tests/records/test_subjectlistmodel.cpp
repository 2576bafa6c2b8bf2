#include "core/daycount.h"
#include "recordfixture.h"
#include "records/listqueries.h"
#include "storage/listindexes.h"
#include "storage/namesortkeys.h"
#include "records/subjectlistmodel.h"

#include <QAbstractItemModelTester>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestSubjectListModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { test::addBackendRows(); }
    void init();
    void cleanup();
    void sortsInTheDatabase_data();
    void sortsInTheDatabase();
    void renoRenumbersAfterResort();
    void displayColumns();
    void readsRowsBeyondTheFirstPage();
    void pagedKeysFollowTheWholeOrder_data();
    void pagedKeysFollowTheWholeOrder();
    void locatesPrefix_data();
    void locatesPrefix();
    void prefixFollowsListOrder();
    void locatesNumberIgnoringCase_data();
    void locatesNumberIgnoringCase();
    void refreshShowsChanges();
    void usesIndexes_data();
    void usesIndexes();

private:
    std::unique_ptr<test::RecordFixture> f;
    QStringList numbersInOrder(const SubjectListModel &m) const;
};

void TestSubjectListModel::init() {
    ORLU_USE_BACKEND_OF_ROW();
    f = std::make_unique<test::RecordFixture>();
    f->addSubject(u"b02"_s, u"王小明"_s, true, toDayCount(QDate(1990, 12, 31)), u"北京市中山路1号"_s,
                  u"0755"_s);
    f->addSubject(u"A01"_s, u"李四"_s, false, 0, u"上海市"_s, u"0101"_s);
    f->addSubject(u"c03"_s, u"Zhang San"_s, true, toDayCount(QDate(1950, 1, 1)), u"北京市人民路"_s,
                  u"0202"_s);
    f->addSubject(u"a04"_s, u"wang"_s, false, toDayCount(QDate(1980, 5, 5)), u"广州"_s, u"0303"_s);
    // As the register's lists get them: the names' sort keys come with the indexes.
    QVERIFY(ensureListIndexes(f->db()));
}

void TestSubjectListModel::cleanup() {
    f.reset();
}

QStringList TestSubjectListModel::numbersInOrder(const SubjectListModel &m) const {
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.data(m.index(r, SubjectListModel::Number)).toString();
    return out;
}

void TestSubjectListModel::sortsInTheDatabase_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("order");
    // Letter case does not decide the order of numbers or names.
    QTest::newRow("number ascending") << 1 << QStringList{u"A01"_s, u"a04"_s, u"b02"_s, u"c03"_s};
    QTest::newRow("number descending") << -1 << QStringList{u"c03"_s, u"b02"_s, u"a04"_s, u"A01"_s};
    // Names in pinyin order, Chinese names before Latin ones (li, wang, then wang, Zhang).
    QTest::newRow("name ascending") << 2 << QStringList{u"A01"_s, u"b02"_s, u"a04"_s, u"c03"_s};
    QTest::newRow("sex: women first") << 3 << QStringList{u"A01"_s, u"a04"_s, u"b02"_s, u"c03"_s};
    QTest::newRow("birth descending") << -4 << QStringList{u"b02"_s, u"a04"_s, u"c03"_s, u"A01"_s};
    QTest::newRow("telephone") << 5 << QStringList{u"A01"_s, u"c03"_s, u"a04"_s, u"b02"_s};
}

void TestSubjectListModel::sortsInTheDatabase() {
    QFETCH(int, code);
    QFETCH(QStringList, order);
    SubjectListModel m(f->db(), f->time);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(m.open(SubjectOrder::fromCode(code)));
    QCOMPARE(m.order().code(), code);
    QCOMPARE(numbersInOrder(m), order);
}

void TestSubjectListModel::renoRenumbersAfterResort() {
    SubjectListModel m(f->db(), f->time);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.open({});
    const qint64 first = m.keyAt(0);
    m.setOrder({SubjectColumn::Number, true});
    QCOMPARE(m.data(m.index(0, SubjectListModel::Reno)).toInt(), 1);
    QCOMPARE(m.data(m.index(3, SubjectListModel::Reno)).toInt(), 4);
    // The bookmark of a row survives the re-sort.
    QCOMPARE(m.rowOfKey(first), 3);
}

void TestSubjectListModel::displayColumns() {
    SubjectListModel m(f->db(), f->time);
    m.open({});
    const int row = m.locateNumber(u"b02"_s);
    QCOMPARE(m.data(m.index(row, SubjectListModel::Sex)).toString(), u"男"_s);
    QCOMPARE(m.data(m.index(row, SubjectListModel::Age)).toString(), u" 36"_s);
    QCOMPARE(m.data(m.index(row, SubjectListModel::BirthDate)).toString(), shortDate(QDate(1990, 12, 31)));
    const int unknown = m.locateNumber(u"A01"_s);
    QCOMPARE(m.data(m.index(unknown, SubjectListModel::Sex)).toString(), u"女"_s);
    QCOMPARE(m.data(m.index(unknown, SubjectListModel::Age)).toString(), QString());
    QCOMPARE(m.data(m.index(unknown, SubjectListModel::BirthDate)).toString(), QString());
    QCOMPARE(m.headerData(SubjectListModel::Reno, Qt::Horizontal).toString(), u"Index"_s);
}

void TestSubjectListModel::readsRowsBeyondTheFirstPage() {
    {
        Transaction tx(f->db());
        for (int i = 0; i < 700; ++i)
            f->addSubject(u"P%1"_s.arg(i, 4, 10, QChar(u'0')), u"n%1"_s.arg(i));
        QVERIFY(tx.commit());
    }
    SubjectListModel m(f->db(), f->time);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.open({});
    QCOMPARE(m.rowCount(), 704);
    // Jump around so pages are read, dropped and read again.
    for (int row : {690, 5, 300, 699, 130, 4, 127, 128, 690}) {
        const int i = row - 4;
        QCOMPARE(m.data(m.index(row, SubjectListModel::Number)).toString(),
                 u"P%1"_s.arg(i, 4, 10, QChar(u'0')));
        QCOMPARE(m.subjectAt(row)->name, u"n%1"_s.arg(i));
    }
}

void TestSubjectListModel::pagedKeysFollowTheWholeOrder_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("number") << 1;
    QTest::newRow("name descending") << -2;
    QTest::newRow("sex") << 3;
    QTest::newRow("birth descending") << -4;
}

void TestSubjectListModel::pagedKeysFollowTheWholeOrder() {
    QFETCH(int, code);
    // More than two blocks of keys, with many equal, missing and differently cased values.
    {
        Transaction tx(f->db());
        for (int i = 0; i < 2600; ++i) {
            const QString name = i % 7 == 0 ? QString() : (i % 2 ? u"Name%1"_s : u"name%1"_s).arg(i % 50);
            f->addSubject(u"K%1"_s.arg(i % 900, 4, 10, QChar(u'0')), name, i % 3 == 0,
                          double(30000 + i % 40));
        }
        QVERIFY(tx.commit());
    }
    QVERIFY(refreshNameSortKeys(f->db(), KeyCheck::Quick));
    std::vector<qint64> whole;
    QSqlQuery q(f->db());
    QVERIFY(q.exec(u"SELECT MKEY FROM KYCUST "_s +
                   subjectOrderBy(SubjectOrder::fromCode(code), f->database.dialect())));
    while (q.next())
        whole.push_back(q.value(0).toLongLong());
    const int n = int(whole.size());
    auto expectAll = [&](const SubjectListModel &m, const QList<int> &rows) {
        for (int row : rows)
            QCOMPARE(m.keyAt(row), whole[size_t(row)]);
    };
    QList<int> everyRow;
    for (int r = n - 1; r >= 0; --r)
        everyRow << r;
    // Far first, then the blocks before it: read by position, then backwards from a neighbour.
    SubjectListModel far(f->db(), f->time);
    QVERIFY(far.open(SubjectOrder::fromCode(code)));
    QCOMPARE(far.rowCount(), n);
    expectAll(far, QList<int>{n - 1, 2100} + everyRow);
    // A row looked up by its key first: its block is read around it.
    for (int row : {1500, 5, n - 2}) {
        SubjectListModel m(f->db(), f->time);
        QVERIFY(m.open(SubjectOrder::fromCode(code)));
        QCOMPARE(m.rowOfKey(whole[size_t(row)]), row);
        expectAll(m, QList<int>{row} + everyRow);
    }
    // Forwards from the start, and every key found at its row.
    SubjectListModel forwards(f->db(), f->time);
    QVERIFY(forwards.open(SubjectOrder::fromCode(code)));
    for (int r = 0; r < n; ++r)
        QCOMPARE(forwards.keyAt(r), whole[size_t(r)]);
    for (int r = 0; r < n; r += 97)
        QCOMPARE(forwards.rowOfKey(whole[size_t(r)]), r);
    QCOMPARE(forwards.rowOfKey(999999), -1);
}

void TestSubjectListModel::locatesPrefix_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    QTest::newRow("plain prefix") << u"Wang Wu"_s << u"Wang"_s << true;
    QTest::newRow("other letter case") << u"Wang Wu"_s << u"wANG w"_s << true;
    QTest::newRow("whole text") << u"Wang Wu"_s << u"Wang Wu"_s << true;
    QTest::newRow("longer than the text") << u"Wang"_s << u"Wangx"_s << false;
    QTest::newRow("not at the start") << u"Wang Wu"_s << u"Wu"_s << false;
    QTest::newRow("chinese") << u"欧阳修"_s << u"欧阳"_s << true;
    QTest::newRow("quote") << u"O'Neil"_s << u"O'N"_s << true;
    QTest::newRow("double quote") << u"\"Q\" x"_s << u"\"Q\""_s << true;
    QTest::newRow("percent is literal") << u"50% off"_s << u"50%"_s << true;
    QTest::newRow("percent matches nothing else") << u"500 x"_s << u"5%"_s << false;
    QTest::newRow("underscore is literal") << u"a_b"_s << u"a_"_s << true;
    QTest::newRow("underscore is no wildcard") << u"axb"_s << u"a_"_s << false;
    QTest::newRow("backslash") << u"C:\\dir"_s << u"C:\\"_s << true;
    QTest::newRow("at sign before capitals") << u"x@y"_s << u"x@"_s << true;
    QTest::newRow("bracket is not after @") << u"x[y"_s << u"x@"_s << false;
    QTest::newRow("very long text") << u"Wang"_s << QString(5000, u'W') << false;
}

void TestSubjectListModel::locatesPrefix() {
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, found);
    QSqlQuery(f->db()).exec(u"DELETE FROM KYCUST"_s);
    const qint64 key = f->addSubject(u"Z99"_s, stored);
    SubjectListModel m(f->db(), f->time);
    m.open(SubjectOrder::fromCode(2));
    const int row = m.locatePrefix(SubjectColumn::Name, typed);
    QVERIFY2(m.lastError().isEmpty(), qPrintable(m.lastError()));
    QCOMPARE(row >= 0 && m.keyAt(row) == key, found);
    if (!found)
        QCOMPARE(row, -1);
}

void TestSubjectListModel::prefixFollowsListOrder() {
    SubjectListModel m(f->db(), f->time);
    m.open({});
    // Two addresses begin with 北京; the first in list order wins.
    QCOMPARE(m.data(m.index(m.locatePrefix(SubjectColumn::Address, u"北京"_s), 1)).toString(), u"b02"_s);
    m.setOrder({SubjectColumn::Number, true});
    QCOMPARE(m.data(m.index(m.locatePrefix(SubjectColumn::Address, u"北京"_s), 1)).toString(), u"c03"_s);
    QCOMPARE(m.locatePrefix(SubjectColumn::Address, QString()), 0);
}

void TestSubjectListModel::locatesNumberIgnoringCase_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("found");
    QTest::newRow("same case") << u"b02"_s << u"b02"_s;
    QTest::newRow("other case") << u"B02"_s << u"b02"_s;
    QTest::newRow("prefix is not enough") << u"b0"_s << QString();
    QTest::newRow("no such number") << u"x1"_s << QString();
}

void TestSubjectListModel::locatesNumberIgnoringCase() {
    QFETCH(QString, typed);
    QFETCH(QString, found);
    SubjectListModel m(f->db(), f->time);
    m.open({});
    const int row = m.locateNumber(typed);
    QCOMPARE(row >= 0 ? m.data(m.index(row, 1)).toString() : QString(), found);
}

void TestSubjectListModel::refreshShowsChanges() {
    SubjectListModel m(f->db(), f->time);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.open({});
    QCOMPARE(m.rowCount(), 4);
    f->addSubject(u"0"_s, u"first"_s);
    QCOMPARE(m.rowCount(), 4);
    m.refresh();
    QCOMPARE(m.rowCount(), 5);
    QCOMPARE(m.subjectAt(0)->name, u"first"_s);
    m.close();
    QCOMPARE(m.rowCount(), 0);
}

namespace {

enum ListQuery { SortedByName, SortedByBirth, Prefix, MeasurementsOfSubject, AfterARow, PlaceOfARow };

QString listQuery(ListQuery query, const SqlDialect &d) {
    switch (query) {
    case SortedByName:
        return d.isServer() ? u"SELECT MKEY FROM KYCUST "_s + subjectOrderBy(SubjectOrder::fromCode(-2), d)
                            : nameListQuery(true);
    case SortedByBirth:
        return u"SELECT MKEY FROM KYCUST "_s + subjectOrderBy(SubjectOrder::fromCode(4), d);
    case Prefix:
        return u"SELECT MKEY FROM KYCUST WHERE "_s + d.folded(u"TEL"_s) + u" >= 'a' AND "_s +
               d.folded(u"TEL"_s) + u" < 'b' "_s + subjectOrderBy(SubjectOrder::fromCode(5), d) +
               u" LIMIT 1"_s;
    case AfterARow: // only a server's list reads its keys page by page
        if (!d.isServer())
            return u"SELECT MKEY FROM KYCUST_SORT WHERE (SORTKEY, MKEY) < (x'78', 5) "
                   "ORDER BY SORTKEY DESC, MKEY DESC LIMIT 1024"_s;
        return u"SELECT MKEY FROM KYCUST WHERE ("_s +
               subjectSortKey(SubjectOrder::fromCode(-2), d).expression + u", MKEY) < ('x', 5) "_s +
               subjectOrderBy(SubjectOrder::fromCode(-2), d) + u" LIMIT 1024"_s;
    case PlaceOfARow:
        return u"SELECT count(*) FROM KYCUST WHERE ("_s + d.folded(u"CUSTNO"_s) + u", MKEY) < ('x', 5)"_s;
    case MeasurementsOfSubject:
        return u"SELECT MKEY FROM KYDATA WHERE "_s + d.equalsIgnoringCase(u"CUSTNO"_s, u"'x'"_s) +
               u" ORDER BY "_s + d.folded(u"CUSTNO"_s) + u", KYDATE, MKEY"_s;
    }
    return {};
}

} // namespace

void TestSubjectListModel::usesIndexes_data() {
    QTest::addColumn<int>("query");
    QTest::newRow("sorted by name") << int(SortedByName);
    QTest::newRow("sorted by birth") << int(SortedByBirth);
    QTest::newRow("prefix") << int(Prefix);
    QTest::newRow("measurements of a subject") << int(MeasurementsOfSubject);
    QTest::newRow("the keys after a row") << int(AfterARow);
    QTest::newRow("the place of a row") << int(PlaceOfARow);
}

void TestSubjectListModel::usesIndexes() {
    QFETCH(int, query);
    QVERIFY(ensureListIndexes(f->db()));
    const SqlDialect dialect = f->database.dialect();
    const QString sql = listQuery(ListQuery(query), dialect);
    QSqlQuery q(f->db());
    QString plan;
    if (dialect.isServer()) {
        // A few rows are read fastest without an index; forbid that to see what a large register gets.
        QVERIFY(q.exec(u"SET enable_seqscan = off"_s) && q.exec(u"SET enable_sort = off"_s));
        QVERIFY2(q.exec(u"EXPLAIN "_s + sql), qPrintable(q.lastError().text()));
        while (q.next())
            plan += q.value(0).toString() + u'\n';
        QVERIFY(q.exec(u"RESET enable_seqscan"_s) && q.exec(u"RESET enable_sort"_s));
        QVERIFY2(plan.contains(u"Index"_s) && !plan.contains(u"Sort"_s) && !plan.contains(u"Seq Scan"_s),
                 qPrintable(plan));
        return;
    }
    QVERIFY(q.exec(u"EXPLAIN QUERY PLAN "_s + sql));
    while (q.next())
        plan += q.value(3).toString() + u'\n';
    // A whole-table scan or a sort outside an index would make large registers slow.
    QVERIFY2(plan.contains(u"INDEX"_s) && !plan.contains(u"TEMP B-TREE"_s), qPrintable(plan));
}

QTEST_GUILESS_MAIN(TestSubjectListModel)
#include "test_subjectlistmodel.moc"
