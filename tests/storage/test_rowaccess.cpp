// The engine-level row access every bulk copy and long list relies on: rows written
// through RowInserter keep their kind, RawStatement reads and reports as the engine does,
// and KeyWindow hands out the rows of a sort order whatever way the list is walked.
#include "storage/database.h"
#include "storage/keywindow.h"
#include "storage/rawstatement.h"
#include "storage/rowinserter.h"
#include "storage/sqlcopy.h"
#include "support/temphome.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QtTest>

#include <algorithm>
#include <random>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestRowAccess : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void insertedValuesKeepTheirKind_data();
    void insertedValuesKeepTheirKind();
    void refusedRowNamesTheTable();
    void rawStatementReadsBackAndReportsTheEngineCode();
    void keyWindowGivesTheSortOrderWhateverTheWalk_data();
    void keyWindowGivesTheSortOrderWhateverTheWalk();
    void keyWindowTellsRowsThatAreGone();

private:
    QSqlQuery exec(const QString &sql);
    std::unique_ptr<test::TempHome> m_home;
    std::unique_ptr<Database> m_db;
};

void TestRowAccess::init() {
    m_home = std::make_unique<test::TempHome>();
    m_db = std::make_unique<Database>();
    QString error;
    QVERIFY2(m_db->create(m_home->file(u"rows.db"_s), &error), qPrintable(error));
}

void TestRowAccess::cleanup() {
    m_db.reset();
    m_home.reset();
}

QSqlQuery TestRowAccess::exec(const QString &sql) {
    QSqlQuery q(m_db->handle());
    if (!q.exec(sql))
        qWarning("%s", qPrintable(sql));
    return q;
}

void TestRowAccess::insertedValuesKeepTheirKind_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("kind"); // as the engine's typeof() names it
    QTest::addColumn<QString>("text");
    QTest::newRow("null") << QVariant() << u"null"_s << QString();
    QTest::newRow("null text") << QVariant(QString()) << u"null"_s << QString();
    QTest::newRow("flag") << QVariant(true) << u"integer"_s << u"1"_s;
    QTest::newRow("large whole number") << QVariant(qint64(1) << 40) << u"integer"_s << u"1099511627776"_s;
    QTest::newRow("real") << QVariant(45000.25) << u"real"_s << u"45000.25"_s;
    QTest::newRow("chinese text") << QVariant(u"王小明 𠮷"_s) << u"text"_s << u"王小明 𠮷"_s;
    QTest::newRow("empty text") << QVariant(u""_s) << u"text"_s << u""_s;
    QTest::newRow("bytes") << QVariant(QByteArray("\0\xff", 2)) << u"blob"_s
                           << QString::fromLatin1("\0\xff", 2);
}

// A column without a declared kind stores whatever it is given, so the kind shows what was bound.
void TestRowAccess::insertedValuesKeepTheirKind() {
    QFETCH(QVariant, value);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    exec(u"CREATE TABLE T (MKEY INTEGER PRIMARY KEY, V)"_s);
    RowInserter inserter(m_db->handle(), u"T"_s, {u"MKEY"_s, u"V"_s});
    QVERIFY2(inserter.insert({1, value}), qPrintable(inserter.error()));
    QSqlQuery q = exec(u"SELECT typeof(V) FROM T"_s);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), kind);

    RawStatement read;
    QVERIFY(read.prepare(m_db->handle(), "SELECT V FROM T"));
    QCOMPARE(read.step(), RawStatement::Step::Row);
    if (kind == u"blob"_s)
        QCOMPARE(read.textView(0).toByteArray(), value.toByteArray());
    else
        QCOMPARE(read.text(0), text);
    QCOMPARE(read.text(0).isNull(), kind == u"null"_s);
    QCOMPARE(read.step(), RawStatement::Step::Done);
}

void TestRowAccess::refusedRowNamesTheTable() {
    exec(u"CREATE TABLE KYCUST (MKEY INTEGER PRIMARY KEY, CUSTNO TEXT NOT NULL)"_s);
    RowInserter inserter(m_db->handle(), u"KYCUST"_s, {u"MKEY"_s, u"CUSTNO"_s});
    QVERIFY(inserter.error().isEmpty());
    QVERIFY(inserter.insert({1, u"A001"_s}));
    QVERIFY(!inserter.insert({2, QVariant()}));
    QVERIFY2(inserter.error().startsWith(u"KYCUST: "_s), qPrintable(inserter.error()));
    QCOMPARE(sqliteCodeOf(inserter.error()) & 0xff, 19); // SQLITE_CONSTRAINT
    RowInserter missing(m_db->handle(), u"NOSUCH"_s, {u"A"_s});
    QVERIFY2(missing.error().startsWith(u"NOSUCH: "_s), qPrintable(missing.error()));
}

void TestRowAccess::rawStatementReadsBackAndReportsTheEngineCode() {
    exec(u"CREATE TABLE T (A INTEGER, B REAL, C TEXT)"_s);
    RawStatement insert;
    QVERIFY(insert.prepare(m_db->handle(), "INSERT INTO T VALUES (?, ?, ?)"));
    for (int row = 0; row < 2; ++row) {
        insert.reset();
        QVERIFY(insert.bind(1, qint64(7) << (32 * row)));
        QVERIFY(insert.bind(2, 0.1 + row));
        QVERIFY(insert.bindText(3, QByteArray("第").append(QByteArray::number(row))));
        QCOMPARE(insert.step(), RawStatement::Step::Done);
    }
    RawStatement read;
    QVERIFY(read.prepare(m_db->handle(), "SELECT A, B, C FROM T ORDER BY A DESC"));
    QCOMPARE(read.step(), RawStatement::Step::Row);
    QCOMPARE(read.integer(0), qint64(7) << 32);
    QCOMPARE(read.real(1), 1.1);
    QCOMPARE(read.text(2), u"第1"_s);
    QCOMPARE(read.step(), RawStatement::Step::Row);
    QCOMPARE(read.integer(0), qint64(7));
    read.reset(); // from the first row again
    QCOMPARE(read.step(), RawStatement::Step::Row);
    QCOMPARE(read.integer(0), qint64(7) << 32);

    RawStatement wrong;
    QVERIFY(!wrong.prepare(m_db->handle(), "SELECT NOSUCH FROM T"));
    QVERIFY2(wrong.error().contains(u"NOSUCH"_s), qPrintable(wrong.error()));
    QCOMPARE(sqliteCodeOf(wrong.error()), 1); // SQLITE_ERROR
}

void TestRowAccess::keyWindowGivesTheSortOrderWhateverTheWalk_data() {
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QString>("walk");
    for (const bool descending : {false, true}) {
        for (const char *walk : {"forward", "backward", "jumps"})
            QTest::addRow("%s, %s", descending ? "descending" : "ascending", walk)
                << descending << QString::fromLatin1(walk);
    }
}

// Two and a half blocks of rows whose sort keys tie in runs, so blocks end inside a tie.
void TestRowAccess::keyWindowGivesTheSortOrderWhateverTheWalk() {
    QFETCH(bool, descending);
    QFETCH(QString, walk);
    const int rows = KeyWindow::BlockSize * 5 / 2;
    exec(u"CREATE TABLE T (MKEY INTEGER PRIMARY KEY, K TEXT NOT NULL)"_s);
    QVERIFY(m_db->handle().transaction());
    RowInserter inserter(m_db->handle(), u"T"_s, {u"MKEY"_s, u"K"_s});
    QRandomGenerator random(7);
    for (int key = 1; key <= rows; ++key)
        QVERIFY(inserter.insert({key * 3, u"k%1"_s.arg(int(random.bounded(300)), 3, 10, QChar(u'0'))}));
    QVERIFY(m_db->handle().commit());
    QList<qint64> expected;
    const QString direction = descending ? u" DESC"_s : u" ASC"_s;
    QSqlQuery q = exec(u"SELECT MKEY FROM T ORDER BY K"_s + direction + u", MKEY"_s + direction);
    while (q.next())
        expected << q.value(0).toLongLong();

    KeyWindow window(m_db->handle(), {u"T"_s, u"K"_s, descending});
    QString error;
    QVERIFY2(window.open(&error), qPrintable(error));
    QCOMPARE(window.size(), rows);
    QList<int> order;
    for (int row = 0; row < rows; ++row)
        order << (walk == u"backward"_s ? rows - 1 - row : row);
    if (walk == u"jumps"_s)
        std::shuffle(order.begin(), order.end(), std::mt19937(11));
    for (const int row : order)
        QCOMPARE(window.keyAt(row), expected[row]);
    // Looked up by key (a row chosen elsewhere), then walked on from there.
    KeyWindow lookedUp(m_db->handle(), {u"T"_s, u"K"_s, descending});
    QVERIFY(lookedUp.open(&error));
    const int middle = rows / 2 + 17;
    QCOMPARE(lookedUp.rowOf(expected[middle]), middle);
    for (int row = middle; row < std::min(rows, middle + KeyWindow::BlockSize + 5); ++row)
        QCOMPARE(lookedUp.keyAt(row), expected[row]);
    QCOMPARE(lookedUp.rowOf(2), -1); // no such key
    QCOMPARE(lookedUp.keyAt(rows), qint64(0));
}

void TestRowAccess::keyWindowTellsRowsThatAreGone() {
    exec(u"CREATE TABLE T (MKEY INTEGER PRIMARY KEY, K TEXT NOT NULL)"_s);
    for (int key = 1; key <= 10; ++key)
        exec(u"INSERT INTO T VALUES (%1, 'k')"_s.arg(key));
    KeyWindow window(m_db->handle(), {u"T"_s, u"K"_s, false});
    QVERIFY(window.open(nullptr));
    exec(u"DELETE FROM T WHERE MKEY > 8"_s);
    QCOMPARE(window.keyAt(7), qint64(8));
    QCOMPARE(window.keyAt(9), qint64(0));
    QVERIFY(window.open(nullptr));
    QCOMPARE(window.size(), 8);
}

QTEST_GUILESS_MAIN(TestRowAccess)
#include "test_rowaccess.moc"
