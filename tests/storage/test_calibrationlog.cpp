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

const CalibrationEntry Earlier{46000.5, u"标准+高电位"_s, 4000, 4004, 20.0, true, {}};
const CalibrationEntry Failed{46001.5, u"标准+高电位"_s, 2498, 2500, 12.49, false, u"导电度过低"_s};

} // namespace

void TestCalibrationLog::keepsEntriesAndThePeriod_data() {
    QTest::addColumn<QStringList>("earlierTables");
    QTest::addColumn<QList<CalibrationEntry>>("before");
    QTest::newRow("no file yet") << QStringList{} << QList<CalibrationEntry>{};
    QTest::newRow("earlier log") << QStringList{EarlierLogSql, EarlierSettingsSql}
                                 << QList<CalibrationEntry>{Earlier};
    QTest::newRow("earlier log without settings")
        << QStringList{EarlierLogSql} << QList<CalibrationEntry>{Earlier};
}

void TestCalibrationLog::keepsEntriesAndThePeriod() {
    QFETCH(QStringList, earlierTables);
    QFETCH(QList<CalibrationEntry>, before);
    QTemporaryDir dir;
    const QString path = dir.filePath(CalibrationLogFile);
    if (!earlierTables.isEmpty()) {
        Database db;
        QVERIFY(db.create(path));
        QSqlQuery q(db.handle());
        for (const QString &sql : earlierTables)
            QVERIFY(q.exec(sql));
        q.prepare(u"INSERT INTO KYCALLOG (CALDATE, CALMODE, STDVALUE, HIGHVALUE, SENSITIVITY, SUCCESS) "
                  "VALUES (?, ?, ?, ?, ?, ?)"_s);
        for (const CalibrationEntry &e : before) {
            for (const QVariant &v : {QVariant(e.at), QVariant(e.mode), QVariant(e.standardValue),
                                      QVariant(e.highValue), QVariant(e.sensitivity), QVariant(e.succeeded)})
                q.addBindValue(v);
            QVERIFY(q.exec());
        }
    }
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
