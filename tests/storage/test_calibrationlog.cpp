#include "storage/calibrationlog.h"
#include "storage/database.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestCalibrationLog : public QObject {
    Q_OBJECT
private slots:
    void keepsEntriesAndThePeriod_data();
    void keepsEntriesAndThePeriod();
};

namespace {

// The tables as earlier versions made them: no cause column, the setting's name a primary key.
const QString EarlierLogSql =
    u"CREATE TABLE KYCALLOG (MKEY INTEGER PRIMARY KEY AUTOINCREMENT, CALDATE REAL NOT "
    "NULL, CALMODE VARCHAR(20), STDVALUE INTEGER NOT NULL, HIGHVALUE INTEGER NOT NULL, "
    "SENSITIVITY REAL NOT NULL, SUCCESS BOOLEAN NOT NULL)"_s;
const QString EarlierSettingsSql =
    u"CREATE TABLE KYCALSET (SETNAME VARCHAR(30) PRIMARY KEY, SETVALUE INTEGER NOT NULL)"_s;
const QString EarlierEntrySql = u"INSERT INTO KYCALLOG (CALDATE, CALMODE, STDVALUE, HIGHVALUE, SENSITIVITY, "
                                "SUCCESS) VALUES (46000.5, '标准+高电位', 4000, 4004, 20.0, 1)"_s;

const CalibrationEntry Earlier{46000.5, u"标准+高电位"_s, 4000, 4004, 20.0, true, {}};
const CalibrationEntry Failed{46001.5, u"标准+高电位"_s, 2498, 2500, 12.49, false, u"导电度过低"_s};

} // namespace

void TestCalibrationLog::keepsEntriesAndThePeriod_data() {
    QTest::addColumn<QStringList>("earlierFile"); // what makes it; none: no file yet
    QTest::newRow("no file yet") << QStringList{};
    QTest::newRow("earlier log") << QStringList{EarlierLogSql, EarlierSettingsSql, EarlierEntrySql};
    QTest::newRow("earlier log without settings") << QStringList{EarlierLogSql, EarlierEntrySql};
}

void TestCalibrationLog::keepsEntriesAndThePeriod() {
    QFETCH(QStringList, earlierFile);
    QTemporaryDir dir;
    const QString path = dir.filePath(CalibrationLogFile);
    if (!earlierFile.isEmpty()) {
        Database db;
        QVERIFY(db.create(path));
        for (const QString &sql : earlierFile)
            QVERIFY(QSqlQuery(db.handle()).exec(sql));
    }
    const QList<CalibrationEntry> before =
        earlierFile.isEmpty() ? QList<CalibrationEntry>{} : QList<CalibrationEntry>{Earlier};
    const CalibrationLog log(path);
    QCOMPARE(log.entries(), before); // an earlier log reads without its cause
    QCOMPARE(log.reminderDays(), CalibrationLog::DefaultReminderDays);

    QString error;
    QVERIFY2(log.append(Failed, &error), qPrintable(error));
    QVERIFY2(log.setReminderDays(7, &error), qPrintable(error));
    QVERIFY2(log.setReminderDays(14, &error), qPrintable(error)); // replaces the stored one
    QVERIFY(!log.setReminderDays(CalibrationLog::MaxReminderDays + 1, &error));
    QVERIFY(error.contains(u"365"_s));
    QCOMPARE(CalibrationLog(path).reminderDays(), 14);
    QCOMPARE(CalibrationLog(path).entries(), before + QList<CalibrationEntry>{Failed});
}

QTEST_GUILESS_MAIN(TestCalibrationLog)
#include "test_calibrationlog.moc"
