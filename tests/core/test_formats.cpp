#include "core/daycount.h"
#include "core/numberformat.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void patterns_data();
    void patterns();
    void dayCountRoundTrip_data();
    void dayCountRoundTrip();
    void dayCountToWallClock_data();
    void dayCountToWallClock();
    void age_data();
    void age();
    void datesUnderSystemLocales_data();
    void datesUnderSystemLocales();
};

void TestFormats::roundsHalfToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("2.51") << 2.51 << 3;
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
}

void TestFormats::roundsHalfToEven() {
    QFETCH(double, value);
    QFETCH(int, rounded);
    QCOMPARE(roundHalfEvenInt(value), rounded);
}

void TestFormats::patterns_data() {
    QTest::addColumn<QString>("got");
    QTest::addColumn<QString>("expected");
    QTest::newRow("%5.1f") << formatFixed(12.34, 5, 1) << u" 12.3"_s;
    QTest::newRow("%4.1f wider than field") << formatFixed(1234.5, 4, 1) << u"1234.5"_s;
    QTest::newRow("%3d") << formatInt(7, 3) << u"  7"_s;
    QTest::newRow("%6.0d") << formatInt(123, 6) << u"   123"_s;
    QTest::newRow("%8.0n") << formatThousands(1234567, 8) << u"1,234,567"_s;
    QTest::newRow("%8.0n small") << formatThousands(511, 8) << u"     511"_s;
    QTest::newRow("###.# whole") << formatHash(12.0) << u"12"_s;
    QTest::newRow("###.# decimal") << formatHash(12.34) << u"12.3"_s;
    QTest::newRow("###.# below one") << formatHash(0.5) << u".5"_s;
    QTest::newRow("###.# zero") << formatHash(0.0) << QString();
    QTest::newRow("general 1.0") << formatGeneral(1.0) << u"1"_s;
    QTest::newRow("general 0.85") << formatGeneral(0.85) << u"0.85"_s;
}

void TestFormats::patterns() {
    QFETCH(QString, got);
    QFETCH(QString, expected);
    QCOMPARE(got, expected);
}

void TestFormats::dayCountRoundTrip_data() {
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<double>("days");
    QTest::newRow("epoch") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
    QTest::newRow("noon 1900-01-01") << QDateTime(QDate(1900, 1, 1), QTime(12, 0)) << 2.5;
    QTest::newRow("limit of unknown birth dates") << QDateTime(QDate(1910, 12, 13), QTime(0, 0)) << 4000.0;
    QTest::newRow("2026-12-09 18:00") << QDateTime(QDate(2026, 12, 9), QTime(18, 0)) << 46365.75;
}

void TestFormats::dayCountRoundTrip() {
    QFETCH(QDateTime, when);
    QFETCH(double, days);
    QCOMPARE(toDayCount(when), days);
    QCOMPARE(fromDayCount(days), when);
}

void TestFormats::dayCountToWallClock_data() {
    QTest::addColumn<double>("days");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::newRow("to the millisecond")
        << 46365.75 + 2.2 / 86400000.0 << QDate(2026, 12, 9) << QTime(18, 0, 0, 2);
    // Less than half a millisecond before midnight: the next day, not 24:00 of this one.
    QTest::newRow("rounds up to midnight") << 46365.0 - 0.1 / 86400000.0 << QDate(2026, 12, 9) << QTime(0, 0);
}

void TestFormats::dayCountToWallClock() {
    QFETCH(double, days);
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    const CalendarTime t = calendarTimeOfDayCount(days);
    QCOMPARE(t.date, date);
    QCOMPARE(t.time, time);
    QCOMPARE(fromDayCount(days), QDateTime(date, time));
}

void TestFormats::age_data() {
    QTest::addColumn<double>("birth");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("age");
    QTest::addColumn<bool>("given");
    QTest::newRow("born on new year's eve 1990")
        << toDayCount(QDate(1990, 12, 31)) << QDate(2026, 1, 1) << 36 << true;
    QTest::newRow("same in december") << toDayCount(QDate(1990, 12, 31)) << QDate(2026, 12, 30) << 36 << true;
    QTest::newRow("not given") << 0.0 << QDate(2026, 1, 1) << 127 << false;
    QTest::newRow("day 4000 is not given") << 4000.0 << QDate(2026, 1, 1) << 116 << false;
    QTest::newRow("day 4001 is given") << 4001.0 << QDate(2026, 1, 1) << 116 << true;
}

void TestFormats::age() {
    QFETCH(double, birth);
    QFETCH(QDate, today);
    QFETCH(int, age);
    QFETCH(bool, given);
    QCOMPARE(ageInYears(birth, today), age);
    QCOMPARE(birthDateGiven(birth), given);
}

QTEST_GUILESS_MAIN(TestFormats)
#include "test_formats.moc"

// Under C or POSIX the program reads and shows dates in the Chinese (China) forms;
// any other system locale keeps its own.
void TestFormats::datesUnderSystemLocales_data() {
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("longTime");
    QTest::newRow("C") << u"C"_s << u"1975/3/12"_s << u"09:05:07"_s;
    QTest::newRow("POSIX") << u"POSIX"_s << u"1975/3/12"_s << u"09:05:07"_s;
    QTest::newRow("zh_CN") << u"zh_CN"_s << u"1975/3/12"_s << u"09:05:07"_s;
    QTest::newRow("en_US") << u"en_US"_s << u"3/12/75"_s << u"9:05:07"_s;
}

void TestFormats::datesUnderSystemLocales() {
    QFETCH(QString, system);
    QFETCH(QString, date);
    QFETCH(QString, longTime);
    const QLocale shown = dateTimeLocaleFor(QLocale(system));
    QCOMPARE(shown.toString(QDate(1975, 3, 12), QLocale::ShortFormat), date);
    // Times that show seconds keep them.
    QVERIFY(shown.toString(QTime(9, 5, 7), QLocale::LongFormat).contains(longTime));
}
