#include "storage/calibrationlog.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestCalibrationLog : public QObject {
    Q_OBJECT
private slots:
    void remindsOnlyWhenTheLastSuccessIsOld_data();
    void remindsOnlyWhenTheLastSuccessIsOld();
};

void TestCalibrationLog::remindsOnlyWhenTheLastSuccessIsOld_data() {
    QTest::addColumn<QList<CalibrationEntry>>("entries");
    QTest::addColumn<double>("today");
    QTest::addColumn<bool>("reminds");
    const CalibrationEntry ok = calibrationEntry(46000.9, 4000, 4004, true);
    const CalibrationEntry failed = calibrationEntry(46025.1, 2500, 2510, false);
    QTest::newRow("no calibration yet") << QList<CalibrationEntry>{} << 46100.0 << false;
    QTest::newRow("30 days after") << QList<CalibrationEntry>{ok} << 46030.99 << false;
    QTest::newRow("31 days after") << QList<CalibrationEntry>{ok} << 46031.0 << true;
    QTest::newRow("a later failure does not count") << QList<CalibrationEntry>{ok, failed} << 46031.0 << true;
    QTest::newRow("a later success does")
        << QList<CalibrationEntry>{ok, calibrationEntry(46020.5, 4000, 4004, true)} << 46031.0 << false;
}

void TestCalibrationLog::remindsOnlyWhenTheLastSuccessIsOld() {
    QFETCH(QList<CalibrationEntry>, entries);
    QFETCH(double, today);
    QFETCH(bool, reminds);
    const QString text = calibrationReminder(entries, today, CalibrationLog::ReminderDays);
    QCOMPARE(!text.isEmpty(), reminds);
    if (reminds)
        QCOMPARE(text, u"距上次成功校准已超过 30 天，请先校准探测棒。"_s);
}

QTEST_GUILESS_MAIN(TestCalibrationLog)
#include "test_calibrationlog.moc"
