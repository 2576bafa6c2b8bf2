#include "measure/manualentry.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestManualEntry : public QObject {
    Q_OBJECT
private slots:
    void normaliseCell_data();
    void normaliseCell();
    void storedCellValue_data();
    void storedCellValue();
    void cellAfterEnter_data();
    void cellAfterEnter();
    void entryCharacters();
};

void TestManualEntry::normaliseCell_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0.05 empties") << u"0.05"_s << true << QString();
    QTest::newRow("0.09 empties") << u"0.09"_s << true << QString();
    QTest::newRow("0.1 is the smallest value") << u"0.1"_s << true << u"  0.1"_s;
    QTest::newRow("45") << u"45"_s << true << u" 45.0"_s;
    QTest::newRow("blanks around") << u"  12.34 "_s << true << u" 12.3"_s;
    QTest::newRow("200") << u"200"_s << true << u"200.0"_s;
    QTest::newRow("250 capped") << u"250"_s << true << u"200.0"_s;
    QTest::newRow("negative empties") << u"-5"_s << true << QString();
    QTest::newRow("empty stays empty") << QString() << true << QString();
    QTest::newRow("two decimal points") << u"1.2.3"_s << false << QString();
    QTest::newRow("a lone minus") << u"-"_s << false << QString();
}

void TestManualEntry::normaliseCell() {
    QFETCH(QString, typed);
    QFETCH(bool, valid);
    QFETCH(QString, shown);
    const NormalisedCell cell = orlu::normaliseCell(typed);
    QCOMPARE(cell.valid, valid);
    if (valid)
        QCOMPARE(cell.text, shown);
}

void TestManualEntry::storedCellValue_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<double>("stored");
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("value") << u" 45.0"_s << 45.0;
    QTest::newRow("negative becomes 0") << u"-3"_s << 0.0;
    QTest::newRow("above 200 capped") << u"512"_s << 200.0;
}

void TestManualEntry::storedCellValue() {
    QFETCH(QString, cell);
    QFETCH(double, stored);
    QCOMPARE(orlu::storedCellValue(cell).value(), stored);
    QVERIFY(!orlu::storedCellValue(u"4..5"_s).has_value());
}

void TestManualEntry::cellAfterEnter_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("nextRow");
    QTest::addColumn<int>("nextColumn");
    QTest::newRow("along row 1") << 1 << 3 << 1 << 4;
    QTest::newRow("row 1 column 12 to row 2") << 1 << 12 << 2 << 1;
    QTest::newRow("along row 2") << 2 << 7 << 2 << 8;
    QTest::newRow("row 2 column 12 stops") << 2 << 12 << 2 << 12;
}

void TestManualEntry::cellAfterEnter() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, nextRow);
    QFETCH(int, nextColumn);
    const GridCell next = orlu::cellAfterEnter({row, column});
    QCOMPARE(next.row, nextRow);
    QCOMPARE(next.column, nextColumn);
}

void TestManualEntry::entryCharacters() {
    for (QChar c : u"0123456789.-"_s)
        QVERIFY(isEntryCharacter(c));
    for (QChar c : u"a e+,%&'( "_s)
        QVERIFY2(!isEntryCharacter(c), qPrintable(QString(c)));
}

QTEST_GUILESS_MAIN(TestManualEntry)
#include "test_manualentry.moc"
