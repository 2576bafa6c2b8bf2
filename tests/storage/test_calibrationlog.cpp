#include "storage/calibrationlog.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestCalibrationLog : public QObject {
    Q_OBJECT
private slots:
    void remindsOnlyWhenTheLastSuccessIsOld_data();
    void remindsOnlyWhenTheLastSuccessIsOld();
    void theSeatKeepsItsReminderPeriod();
};

void TestCalibrationLog::remindsOnlyWhenTheLastSuccessIsOld_data() {
    QTest::addColumn<QList<CalibrationEntry>>("entries");
    QTest::addColumn<double>("today");
    QTest::addColumn<int>("days");
    QTest::addColumn<bool>("reminds");
    const CalibrationEntry ok = calibrationEntry(46000.9, 4000, 4004, true);
    const CalibrationEntry failed = calibrationEntry(46025.1, 2500, 2510, false);
    QTest::newRow("no calibration yet") << QList<CalibrationEntry>{} << 46100.0 << 30 << false;
    QTest::newRow("30 days after") << QList<CalibrationEntry>{ok} << 46030.99 << 30 << false;
    QTest::newRow("31 days after") << QList<CalibrationEntry>{ok} << 46031.0 << 30 << true;
    QTest::newRow("8 days after, a week's period") << QList<CalibrationEntry>{ok} << 46008.0 << 7 << true;
    QTest::newRow("reminder turned off") << QList<CalibrationEntry>{ok} << 46400.0 << 0 << false;
    QTest::newRow("a later failure does not count")
        << QList<CalibrationEntry>{ok, failed} << 46031.0 << 30 << true;
    QTest::newRow("a later success does")
        << QList<CalibrationEntry>{ok, calibrationEntry(46020.5, 4000, 4004, true)} << 46031.0 << 30 << false;
}

void TestCalibrationLog::remindsOnlyWhenTheLastSuccessIsOld() {
    QFETCH(QList<CalibrationEntry>, entries);
    QFETCH(double, today);
    QFETCH(int, days);
    QFETCH(bool, reminds);
    const QString text = calibrationReminder(entries, today, days);
    QCOMPARE(!text.isEmpty(), reminds);
    if (reminds)
        QCOMPARE(text, u"距上次成功校准已超过 %1 天，请先校准探测棒。"_s.arg(days));
}

void TestCalibrationLog::theSeatKeepsItsReminderPeriod() {
    QTemporaryDir dir;
    const CalibrationLog log(dir.filePath(CalibrationLogFile));
    QCOMPARE(log.reminderDays(), CalibrationLog::DefaultReminderDays); // no file yet
    QVERIFY(log.setReminderDays(7));
    QVERIFY(log.append(calibrationEntry(46000.5, 4000, 4004, true)));
    QString error;
    QVERIFY(!log.setReminderDays(CalibrationLog::MaxReminderDays + 1, &error));
    QVERIFY(error.contains(u"365"_s));
    QCOMPARE(CalibrationLog(dir.filePath(CalibrationLogFile)).reminderDays(), 7);
    QCOMPARE(log.entries().size(), 1);
}

QTEST_GUILESS_MAIN(TestCalibrationLog)
#include "test_calibrationlog.moc"
