// The engine-level row access bulk copies and long lists rely on.
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

namespace {

// A new database file holding the one table `definition`.
struct TableFile {
    explicit TableFile(const QString &definition) {
        QVERIFY(file.create(home.file(u"rows.db"_s)));
        QVERIFY(QSqlQuery(file.handle()).exec(u"CREATE TABLE "_s + definition));
    }
    test::TempHome home;
    Database file;
    QSqlDatabase db() const { return file.handle(); }
};

} // namespace

class TestRowAccess : public QObject {
    Q_OBJECT
private slots:
    void insertedValuesKeepTheirKind_data();
    void insertedValuesKeepTheirKind();
    void refusalsNameTheCauseAndTheEngineCode();
    void keyWindowGivesTheSortOrderWhateverTheWalk_data();
    void keyWindowGivesTheSortOrderWhateverTheWalk();
};

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

// A column without a declared kind stores whatever it is given, so the kind shows what was
// bound; RawStatement reads each back as it was, and again from the first row after a reset.
void TestRowAccess::insertedValuesKeepTheirKind() {
    QFETCH(QVariant, value);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    const TableFile t(u"T (MKEY INTEGER PRIMARY KEY, V)"_s);
    RowInserter inserter(t.db(), u"T"_s, {u"MKEY"_s, u"V"_s});
    QVERIFY2(inserter.insert({1, value}) && inserter.error().isEmpty(), qPrintable(inserter.error()));
    RawStatement read;
    QVERIFY(read.prepare(t.db(), "SELECT typeof(V), V FROM T"));
    QCOMPARE(read.step(), RawStatement::Step::Row);
    QCOMPARE(read.step(), RawStatement::Step::Done);
    read.reset();
    QCOMPARE(read.step(), RawStatement::Step::Row);
    QCOMPARE(read.text(0), kind);
    if (kind == u"blob"_s)
        QCOMPARE(read.textView(1).toByteArray(), value.toByteArray());
    else
        QCOMPARE(read.text(1), text);
    QCOMPARE(read.text(1).isNull(), kind == u"null"_s);
    if (kind == u"integer"_s)
        QCOMPARE(read.integer(1), value.toLongLong());
    if (kind == u"real"_s)
        QCOMPARE(read.real(1), value.toDouble());
}

void TestRowAccess::refusalsNameTheCauseAndTheEngineCode() {
    const TableFile t(u"KYCUST (MKEY INTEGER PRIMARY KEY, CUSTNO TEXT NOT NULL)"_s);
    RowInserter inserter(t.db(), u"KYCUST"_s, {u"MKEY"_s, u"CUSTNO"_s});
    QVERIFY(!inserter.insert({2, QVariant()}));
    QVERIFY2(inserter.error().startsWith(u"KYCUST: "_s), qPrintable(inserter.error()));
    QCOMPARE(sqliteCodeOf(inserter.error()) & 0xff, 19); // SQLITE_CONSTRAINT
    const RowInserter missing(t.db(), u"NOSUCH"_s, {u"A"_s});
    QVERIFY2(missing.error().startsWith(u"NOSUCH: "_s), qPrintable(missing.error()));
    RawStatement wrong;
    QVERIFY(!wrong.prepare(t.db(), "SELECT NOSUCH FROM KYCUST"));
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
    const TableFile t(u"T (MKEY INTEGER PRIMARY KEY, K TEXT NOT NULL)"_s);
    QVERIFY(t.db().transaction());
    RowInserter inserter(t.db(), u"T"_s, {u"MKEY"_s, u"K"_s});
    QRandomGenerator random(7);
    for (int key = 1; key <= rows; ++key)
        QVERIFY(inserter.insert({key * 3, u"k%1"_s.arg(int(random.bounded(300)), 3, 10, QChar(u'0'))}));
    QVERIFY(t.db().commit());
    QList<qint64> expected;
    const QString direction = descending ? u" DESC"_s : u" ASC"_s;
    QSqlQuery q(u"SELECT MKEY FROM T ORDER BY K"_s + direction + u", MKEY"_s + direction, t.db());
    while (q.next())
        expected << q.value(0).toLongLong();

    const KeyWindow::Order order{u"T"_s, u"K"_s, descending};
    KeyWindow window(t.db(), order);
    QString error;
    QVERIFY2(window.open(&error), qPrintable(error));
    QCOMPARE(window.size(), rows);
    QList<int> walked;
    for (int row = 0; row < rows; ++row)
        walked << (walk == u"backward"_s ? rows - 1 - row : row);
    if (walk == u"jumps"_s)
        std::shuffle(walked.begin(), walked.end(), std::mt19937(11));
    for (const int row : walked)
        QCOMPARE(window.keyAt(row), expected[row]);
    // Looked up by key (a row chosen elsewhere), then walked on from there.
    KeyWindow lookedUp(t.db(), order);
    QVERIFY(lookedUp.open(&error));
    const int middle = rows / 2 + 17;
    QCOMPARE(lookedUp.rowOf(expected[middle]), middle);
    for (int row = middle; row < std::min(rows, middle + KeyWindow::BlockSize + 5); ++row)
        QCOMPARE(lookedUp.keyAt(row), expected[row]);
    QCOMPARE(lookedUp.rowOf(2), -1); // no such key
    QCOMPARE(lookedUp.keyAt(rows), qint64(0));
    // A row deleted since counting reads as 0 until the window is opened again.
    KeyWindow counted(t.db(), order);
    QVERIFY(counted.open(&error));
    QVERIFY(QSqlQuery(t.db()).exec(u"DELETE FROM T WHERE MKEY = %1"_s.arg(expected.last())));
    QCOMPARE(counted.keyAt(rows - 2), expected[rows - 2]);
    QCOMPARE(counted.keyAt(rows - 1), qint64(0));
    QVERIFY(counted.open(&error));
    QCOMPARE(counted.size(), rows - 1);
}

QTEST_GUILESS_MAIN(TestRowAccess)
#include "test_rowaccess.moc"
