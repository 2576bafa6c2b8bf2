#include "platform/privatefiles.h"
#include "storage/registerbackup.h"
#include "storage/registermaintenance.h"
#include "support/registerfiles.h"
#include "support/temphome.h"

#include <QtTest>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QStringList dailyCopies(const QString &folder) {
    return QDir(folder).entryList({u"orlu4-*.mdb"_s}, QDir::Files, QDir::Name);
}

} // namespace

class TestRegisterBackup : public QObject {
    Q_OBJECT
private slots:
    void dailyCopyOncePerDay();
    void pruneKeepsDaysAndMonths_data();
    void pruneKeepsDaysAndMonths();
    void damagedRegisterIsNotCopied();
    void halfMadeCopyNeverTakesAName();
    void copyToStandardOutputStyleTargets();
    void closingTheProgramEndsACopy();
    void copiesBeforeAChangeNeverReplaceOneAnother();
    void plantedDailyNameIsSkipped_data();
    void plantedDailyNameIsSkipped();
    void killedCopiesLeaveNothingBehind();
};

void TestRegisterBackup::dailyCopyOncePerDay() {
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"main"_s, 4));
    const RegisterBackup backup(main, home.file(u"backups"_s));
    const QDate day(2026, 12, 9);
    QVERIFY(backup.dailyDue(day));
    QString error;
    const QString copy = backup.makeDaily(day, &error);
    QVERIFY2(copy == home.file(u"backups/orlu4-20261209.mdb"_s), qPrintable(copy + error));
    QCOMPARE(test::registerOf(copy), test::registerOf(main));
    QCOMPARE(QFile::permissions(copy) & 0x0077, QFileDevice::Permissions());
    QCOMPARE(QFile::permissions(home.file(u"backups"_s)) & 0x0077, QFileDevice::Permissions());
    // The second start of the day makes none.
    QVERIFY(!backup.dailyDue(day));
    QVERIFY(backup.makeDaily(day, &error).isEmpty());
    QVERIFY(error.isEmpty());
    QCOMPARE(dailyCopies(home.file(u"backups"_s)).size(), 1);
}

void TestRegisterBackup::pruneKeepsDaysAndMonths_data() {
    QTest::addColumn<QDate>("first");
    QTest::addColumn<int>("days");     // one copy a day from `first`
    QTest::addColumn<int>("expected"); // copies left
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("gone");
    QTest::newRow("two weeks: all kept")
        << QDate(2026, 12, 1) << 14 << 14 << QStringList{u"orlu4-20261201.mdb"_s} << QStringList{};
    QTest::newRow("three weeks in one month: the newest 14 and the month's first")
        << QDate(2026, 11, 1) << 21 << 15 << QStringList{u"orlu4-20261101.mdb"_s, u"orlu4-20261121.mdb"_s}
        << QStringList{u"orlu4-20261102.mdb"_s, u"orlu4-20261107.mdb"_s};
    // 400 days span 14 months: the firsts of the newest 12 months stay, the older two go.
    QTest::newRow("more than a year")
        << QDate(2025, 11, 1) << 400 << 14 + 11
        << QStringList{u"orlu4-20261201.mdb"_s, u"orlu4-20260101.mdb"_s, u"orlu4-20261204.mdb"_s}
        << QStringList{u"orlu4-20251101.mdb"_s, u"orlu4-20251201.mdb"_s, u"orlu4-20261115.mdb"_s};
}

void TestRegisterBackup::pruneKeepsDaysAndMonths() {
    QFETCH(QDate, first);
    QFETCH(int, days);
    QFETCH(int, expected);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, gone);
    test::TempHome home;
    for (int d = 0; d < days; ++d)
        home.writeFile(u"backups/"_s + RegisterBackup::dailyFileName(first.addDays(d)), "copy");
    // Copies of other names are the operator's and the import's: never pruned.
    home.writeFile(u"backups/orlu4-20250101-120000.mdb"_s, "on demand");
    home.writeFile(u"backups/orlu4-backup-20250101-120000.mdb"_s, "before an import");
    const RegisterBackup backup(home.file(u"orlu4.mdb"_s), home.file(u"backups"_s));
    backup.prune();
    const QStringList left =
        dailyCopies(home.file(u"backups"_s)).filter(QRegularExpression(u"^orlu4-\\d{8}\\.mdb$"_s));
    QCOMPARE(left.size(), expected);
    for (const QString &k : kept)
        QVERIFY2(left.contains(k), qPrintable(k));
    for (const QString &g : gone)
        QVERIFY2(!left.contains(g), qPrintable(g));
    QVERIFY(QFileInfo::exists(home.file(u"backups/orlu4-20250101-120000.mdb"_s)));
    QVERIFY(QFileInfo::exists(home.file(u"backups/orlu4-backup-20250101-120000.mdb"_s)));
}

void TestRegisterBackup::damagedRegisterIsNotCopied() {
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    home.writeFile(u"orlu4.mdb"_s, QByteArray(8192, 'x'));
    const RegisterBackup backup(main, home.file(u"backups"_s));
    QString error;
    QVERIFY(backup.makeDaily(QDate(2026, 12, 9), &error).isEmpty());
    QVERIFY(!error.isEmpty());
    QVERIFY(dailyCopies(home.file(u"backups"_s)).isEmpty());
    QVERIFY(QDir(home.file(u"backups"_s)).entryList(QDir::Files).isEmpty());
}

void TestRegisterBackup::halfMadeCopyNeverTakesAName() {
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"main"_s, 2));
    // What a run ended mid-copy leaves.
    home.writeFile(u"backups/orlu4-20261208.mdb.part"_s, QByteArray(100, 'p'));
    const RegisterBackup backup(main, home.file(u"backups"_s));
    QVERIFY(!backup.makeDaily(QDate(2026, 12, 9)).isEmpty());
    QCOMPARE(QDir(home.file(u"backups"_s)).entryList(QDir::Files), QStringList{u"orlu4-20261209.mdb"_s});
}

void TestRegisterBackup::copyToStandardOutputStyleTargets() {
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"main"_s, 2));
    const RegisterBackup backup(main, home.file(u"backups"_s));
    QString error;
    QVERIFY2(backup.copyTo(u"/dev/null"_s, &error), qPrintable(error));
    QCOMPARE(pathKind(u"/dev/null"_s), PathKind::CharDevice);
    QVERIFY(!backup.copyTo(home.path(), &error));
    // A regular file is replaced only by a whole, checked copy.
    home.writeFile(u"copy.mdb"_s, "old");
    QVERIFY(backup.copyTo(home.file(u"copy.mdb"_s), &error));
    QCOMPARE(test::markerOf(home.file(u"copy.mdb"_s)), u"main"_s);
}

// The program may close in the middle of a copy of a large register: the copy ends, nothing is left.
void TestRegisterBackup::closingTheProgramEndsACopy() {
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"main"_s, 50));
    std::atomic<bool> stop{true};
    RegisterBackup backup(main, home.file(u"backups"_s));
    backup.setStopFlag(&stop);
    QString error;
    QVERIFY(backup.makeDaily(QDate(2026, 12, 9), &error).isEmpty());
    QVERIFY(QDir(home.file(u"backups"_s)).entryList(QDir::Files).isEmpty());
    const MaintenanceResult result =
        RegisterMaintenance::run(main, home.file(u"backups"_s), QDate(2026, 12, 9), &stop);
    QVERIFY(result.damage.isEmpty() && result.backup.isEmpty() && result.backupError.isEmpty());
    stop = false;
    QVERIFY(!backup.makeDaily(QDate(2026, 12, 9)).isEmpty());
}

// An import run twice in one second must not overwrite the first copy, and the
// daily copies' pruning must leave these alone.
void TestRegisterBackup::copiesBeforeAChangeNeverReplaceOneAnother() {
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"main"_s, 3));
    const ProgramFolder folder(home.path());
    const QDateTime now(QDate(2026, 12, 9), QTime(10, 30, 5));
    QString error;
    const QString first = backupBeforeChange(main, folder, now, &error);
    QCOMPARE(first, u"backups/orlu4-backup-20261209-103005.mdb"_s);
    const QString second = backupBeforeChange(main, folder, now, &error);
    QCOMPARE(second, u"backups/orlu4-backup-20261209-103005-2.mdb"_s);
    for (const QString &name : {first, second}) {
        QCOMPARE(test::registerOf(home.file(name)), test::registerOf(main));
        QCOMPARE(QFile::permissions(home.file(name)) & 0x0077, QFileDevice::Permissions());
    }
    RegisterBackup(main, home.file(u"backups"_s)).prune(0, 0);
    QVERIFY(QFileInfo::exists(home.file(first)) && QFileInfo::exists(home.file(second)));
    // A damaged register gives no copy and says which one it could not make.
    home.writeFile(u"orlu4.mdb"_s, QByteArray(8192, 'x'));
    QVERIFY(backupBeforeChange(main, folder, now.addSecs(1), &error).isEmpty());
    QVERIFY2(error.contains(u"orlu4-backup-20261209-103006.mdb"_s), qPrintable(error));
    QVERIFY(!QFileInfo::exists(home.file(u"backups/orlu4-backup-20261209-103006.mdb"_s)));
}

void TestRegisterBackup::plantedDailyNameIsSkipped_data() {
    QTest::addColumn<QString>("planted");
    QTest::newRow("link to another file") << u"link"_s;
    QTest::newRow("dangling link") << u"dangling"_s;
    QTest::newRow("pipe") << u"fifo"_s;
}

void TestRegisterBackup::plantedDailyNameIsSkipped() {
    QFETCH(QString, planted);
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"main"_s, 2));
    home.writeFile(u"victim.mdb"_s, "the operator's own file");
    QVERIFY(QDir().mkpath(home.file(u"backups"_s)));
    const QByteArray daily = QFile::encodeName(home.file(u"backups/orlu4-20261209.mdb"_s));
    if (planted == u"fifo"_s)
        QCOMPARE(::mkfifo(daily.constData(), 0600), 0);
    else
        QCOMPARE(
            ::symlink(
                QFile::encodeName(home.file(planted == u"link"_s ? u"victim.mdb"_s : u"none"_s)).constData(),
                daily.constData()),
            0);
    const RegisterBackup backup(main, home.file(u"backups"_s));
    QVERIFY(backup.dailyDue(QDate(2026, 12, 9)));
    QString error;
    QString note;
    QCOMPARE(backup.makeDaily(QDate(2026, 12, 9), &error, &note),
             home.file(u"backups/orlu4-20261209-2.mdb"_s));
    QCOMPARE(note,
             u"备份档案名称 orlu4-20261209.mdb 已被其他档案占用，今日的备份已存为 orlu4-20261209-2.mdb"_s);
    QCOMPARE(test::markerOf(home.file(u"backups/orlu4-20261209-2.mdb"_s)), u"main"_s);
    QCOMPARE(home.readFile(u"victim.mdb"_s), QByteArray("the operator's own file"));
    struct stat st {};
    QCOMPARE(::lstat(daily.constData(), &st), 0);
    QVERIFY(planted == u"fifo"_s ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode));
    // The copy under the other name counts as the day's: none is due, and pruning rotates it.
    QVERIFY(!backup.dailyDue(QDate(2026, 12, 9)));
    QVERIFY(backup.makeDaily(QDate(2026, 12, 9), &error, &note).isEmpty());
    QCOMPARE(backup.prune(0, 0), QStringList{u"orlu4-20261209-2.mdb"_s});
}

void TestRegisterBackup::killedCopiesLeaveNothingBehind() {
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"main"_s, 2));
    // What killed copies leave, older ones and newer ones, and a copy still being made.
    home.writeFile(u"backups/orlu4-20261208.mdb.part"_s, QByteArray(100, 'p'));
    home.writeFile(u"backups/orlu4-20261208.mdb.part-journal"_s, QByteArray(100, 'j'));
    home.writeFile(u"backups/.orlu4-20261207.mdb.Ab12Cd.part/copy.mdb-journal"_s, QByteArray(100, 'j'));
    home.writeFile(u"backups/.orlu4-20261209.mdb.Run123.part"_s, QByteArray(100, 'r'));
    QFile running(home.file(u"backups/.orlu4-20261209.mdb.Run123.part"_s));
    QVERIFY(running.open(QIODevice::ReadOnly));
    QCOMPARE(::flock(running.handle(), LOCK_EX), 0);
    const RegisterBackup backup(main, home.file(u"backups"_s));
    QVERIFY(!backup.makeDaily(QDate(2026, 12, 9)).isEmpty());
    QCOMPARE(QDir(home.file(u"backups"_s)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({u".orlu4-20261209.mdb.Run123.part"_s, u"orlu4-20261209.mdb"_s}));
    // A copy that fails leaves nothing beside its target either.
    QString error;
    home.writeFile(u"orlu4.mdb"_s, QByteArray(8192, 'x'));
    QVERIFY(QDir().mkpath(home.file(u"out"_s)));
    QVERIFY(!backup.copyTo(home.file(u"out/copy.mdb"_s), &error));
    QCOMPARE(QDir(home.file(u"out"_s)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_GUILESS_MAIN(TestRegisterBackup)
#include "test_registerbackup.moc"
