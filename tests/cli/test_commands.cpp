#include "cli/commandtable.h"
#include "cli/dbcommand.h"
#include "cli/matchcommand.h"
#include "cli/registercommands.h"
#include "cli/generatecommand.h"
#include "support/registerfiles.h"
#include "courses/suppliedcourses.h"
#include "storage/database.h"
#include "storage/registercopy.h"
#include "storage/registersetting.h"
#include "storage/schema.h"
#include "support/backends.h"
#include "support/temphome.h"
#include "support/commandrun.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

using Run = test::CommandRun;

using CommandFunction = test::CommandEntry;

// Every command by its name, from the program's own command table.
CommandFunction commandNamed(const QString &name) {
    const Command *command = findCommand(name);
    return command ? command->run : CommandFunction();
}

QStringList readings(double hands, double lung = -1) {
    QStringList v;
    for (int c = 1; c <= 24; ++c)
        v << QString::number((c == 1 || c == 7) && lung >= 0 ? lung : c <= 12 ? hands : 40.0);
    return v;
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void matchFindsTheSuppliedCourseOfAWeakLung();
    void matchRefusesBadArguments_data();
    void matchRefusesBadArguments();
    void generateRegisterAddsRowsInOneGo();
    void everyCommandRefusesBadArguments_data();
    void everyCommandRefusesBadArguments();
    void everyCommandHasHelpAndVersion();
    void oneRuleForReadings_data();
    void oneRuleForReadings();
    void generateRegisterRefusesAFileWithoutTheRegister();
    void checkReportsDamage();
    void backupAndRestoreRoundTrip();
    void restoreRefusesAFileThatIsNoRegister();
    void folderWithAServerRegister();
    void zoneIsSetOnlyToAKnownZone_data();
    void zoneIsSetOnlyToAKnownZone();
    void unwritableOutputGivesStatusOneAndNoFile_data();
    void unwritableOutputGivesStatusOneAndNoFile();
};

void TestCommands::matchFindsTheSuppliedCourseOfAWeakLung() {
    test::TempHome home;
    QString error;
    QVERIFY2(buildSuppliedCourses(home.file(u"orluMCn.mdb"_s), &error), qPrintable(error));
    const Run weak = test::runCommand(
        runMatchCommand, QStringList{u"--courses"_s, home.file(u"orluMCn.mdb"_s)} + readings(40, 8));
    QCOMPARE(weak.status, 0);
    QVERIFY2(weak.out.split(u'\n').contains(u"肺经虚证调理"_s), qPrintable(weak.out));
    const Run balanced = test::runCommand(
        runMatchCommand, QStringList{u"--courses"_s, home.file(u"orluMCn.mdb"_s)} + readings(40));
    QCOMPARE(balanced.status, 0);
    QVERIFY(!balanced.out.contains(u"肺经虚证调理"_s));
}

void TestCommands::matchRefusesBadArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no course file") << readings(40) << u"--courses FILE is required"_s;
    QTest::newRow("23 readings") << QStringList{u"--courses"_s, u"@courses"_s} + readings(40).mid(1)
                                 << u"expected 24 readings"_s;
    QTest::newRow("bad birth date") << QStringList{u"--courses"_s, u"@courses"_s, u"--birth"_s,
                                                   u"31.12.1990"_s} +
                                           readings(40)
                                    << u"YYYY-MM-DD"_s;
    QTest::newRow("file without course tables")
        << QStringList{u"--courses"_s, u"@texts"_s} + readings(40) << u"KYPRO"_s;
    QTest::newRow("not a database") << QStringList{u"--courses"_s, u"@junk"_s} + readings(40) << u"junk"_s;
}

void TestCommands::matchRefusesBadArguments() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    test::TempHome home;
    QVERIFY(createDatabaseFile(home.file(u"courses.mdb"_s), SchemaKind::SuppliedCourses));
    QVERIFY(createDatabaseFile(home.file(u"texts.mdb"_s), SchemaKind::ReferenceTexts));
    home.writeFile(u"junk.mdb"_s, "not a database");
    for (QString &a : args) {
        if (a.startsWith(u'@'))
            a = home.file(a.mid(1) + u".mdb"_s);
    }
    const Run r = test::runCommand(runMatchCommand, args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

void TestCommands::generateRegisterAddsRowsInOneGo() {
    test::TempHome home;
    const Run r = test::runCommand(runGenerateRegisterCommand, {u"--home"_s, home.path(), u"--subjects"_s,
                                                                u"30"_s, u"--measurements"_s, u"120"_s});
    QCOMPARE(r.status, 0);
    Database db;
    QVERIFY(db.open(home.file(u"orlu4.mdb"_s), Database::Access::ReadOnly));
    QSqlQuery q(db.handle());
    QVERIFY(q.exec(u"SELECT (SELECT count(*) FROM KYCUST), (SELECT count(*) FROM KYDATA)"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), 30);
    QCOMPARE(q.value(1).toInt(), 120);
    QCOMPARE(test::runCommand(runGenerateRegisterCommand, {u"--subjects"_s}).status, 2);
    QCOMPARE(test::runCommand(runGenerateRegisterCommand, {u"--subjects"_s, u"many"_s}).status, 2);
}

void TestCommands::everyCommandRefusesBadArguments_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    // Before, these installed into the default folder or took the last value, with status 0.
    QTest::newRow("setup: unknown option")
        << u"setup"_s << QStringList{u"--bogus"_s, u"x"_s} << u"unknown option: --bogus"_s;
    QTest::newRow("setup: --home without a folder")
        << u"setup"_s << QStringList{u"--home"_s} << u"--home needs a value"_s;
    QTest::newRow("setup: stray argument")
        << u"setup"_s << QStringList{u"here"_s} << u"unexpected argument"_s;
    QTest::newRow("generate-register: --home and --database")
        << u"generate-register"_s
        << QStringList{u"--home"_s, u"@"_s, u"--database"_s, u"@x.mdb"_s, u"--subjects"_s, u"1"_s}
        << u"exclude each other"_s;
    QTest::newRow("generate-register: --home twice")
        << u"generate-register"_s
        << QStringList{u"--home"_s, u"@"_s, u"--home"_s, u"@other"_s, u"--subjects"_s, u"1"_s}
        << u"more than once"_s;
    QTest::newRow("generate-register: negative measurements")
        << u"generate-register"_s
        << QStringList{u"--home"_s, u"@"_s, u"--subjects"_s, u"1"_s, u"--measurements"_s, u"-1"_s}
        << u"--measurements needs a whole number of 0"_s;
    QTest::newRow("generate-register: no subjects")
        << u"generate-register"_s << QStringList{u"--home"_s, u"@"_s, u"--subjects"_s, u"0"_s}
        << u"--subjects needs a whole number of 1"_s;
    QTest::newRow("match: unknown option")
        << u"match"_s << QStringList{u"--course"_s, u"x"_s} + readings(40) << u"unknown option: --course"_s;
    QTest::newRow("check: unknown option")
        << u"check"_s << QStringList{u"--full"_s} << u"unknown option: --full"_s;
    QTest::newRow("backup: --to without a file")
        << u"backup"_s << QStringList{u"--to"_s} << u"--to needs a value"_s;
    QTest::newRow("restore: no --from")
        << u"restore"_s << QStringList{u"--home"_s, u"@"_s} << u"--from FILE is required"_s;
    QTest::newRow("probe: no action") << u"probe"_s << QStringList{u"--json"_s} << u"say info or read"_s;
    QTest::newRow("probe: --count for info")
        << u"probe"_s << QStringList{u"info"_s, u"--count"_s, u"3"_s} << u"--count belongs to read"_s;
    QTest::newRow("probe: no readings") << u"probe"_s << QStringList{u"read"_s, u"--count"_s, u"0"_s}
                                        << u"--count needs a whole number of 1"_s;
    QTest::newRow("db: no action") << u"db"_s << QStringList{u"--database"_s, u"x"_s}
                                   << u"say init, copy or zone"_s;
    QTest::newRow("db: copy without --to")
        << u"db"_s << QStringList{u"copy"_s, u"--from"_s, u"@a.mdb"_s} << u"copy takes --from and --to"_s;
    QTest::newRow("db: init twice named")
        << u"db"_s << QStringList{u"init"_s, u"--database"_s, u"a"_s, u"--database"_s, u"b"_s}
        << u"more than once"_s;
    QTest::newRow("report: --pdf twice")
        << u"report"_s
        << QStringList{u"--pdf"_s, u"@a.pdf"_s, u"--pdf"_s, u"@b.pdf"_s, u"--readings"_s} + readings(40)
        << u"more than once"_s;
    QTest::newRow("report: unknown option")
        << u"report"_s << QStringList{u"--colour"_s, u"--readings"_s} + readings(40)
        << u"unknown option: --colour"_s;
    QTest::newRow("compare-chart: --png twice")
        << u"compare-chart"_s
        << QStringList{u"--png"_s, u"@a.png"_s, u"--png"_s, u"@b.png"_s, u"--record"_s} + readings(40)
        << u"more than once"_s;
    QTest::newRow("export: --to twice")
        << u"export"_s << QStringList{u"--home"_s, u"@"_s, u"--to"_s, u"@"_s, u"--to"_s, u"@"_s}
        << u"more than once"_s;
    QTest::newRow("import: unknown option")
        << u"import"_s << QStringList{u"--home"_s, u"@"_s, u"--append"_s, u"--fast"_s, u"--from"_s, u"@x"_s}
        << u"unknown option: --fast"_s;
    QTest::newRow("export-data: bad date")
        << u"export-data"_s << QStringList{u"--home"_s, u"@"_s, u"--from"_s, u"1.3.2026"_s}
        << u"--from needs a date"_s;
    QTest::newRow("export-data: key without pseudonyms")
        << u"export-data"_s << QStringList{u"--key-file"_s, u"@key"_s} << u"only with --pseudonymise"_s;
    QTest::newRow("trend: no subject") << u"trend"_s << QStringList{u"--home"_s, u"@"_s} << u"--subject"_s;
    QTest::newRow("trend: --png twice")
        << u"trend"_s << QStringList{u"--subject"_s, u"A"_s, u"--png"_s, u"@a.png"_s, u"--png"_s, u"@b.png"_s}
        << u"more than once"_s;
    for (const QString &command :
         {u"check"_s, u"backup"_s, u"restore"_s, u"generate-register"_s, u"export-data"_s, u"trend"_s})
        QTest::addRow("%s: stray argument", qPrintable(command))
            << command << QStringList{u"--home"_s, u"@"_s, u"here"_s} << u"unexpected argument \"here\""_s;
    QTest::newRow("analyse: --sex twice")
        << u"analyse"_s << QStringList{u"--sex"_s, u"male"_s, u"--sex"_s, u"female"_s} + readings(40)
        << u"more than once"_s;
}

void TestCommands::everyCommandRefusesBadArguments() {
    QFETCH(QString, command);
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    test::TempHome home;
    for (QString &a : args) {
        if (a.startsWith(u'@'))
            a = home.file(a.mid(1));
    }
    const Run r = test::runCommand(commandNamed(command), args);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY2(r.err.contains(u"usage: orlu-cli "_s + command), qPrintable(r.err));
    // Nothing was installed or created anywhere.
    QVERIFY(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void TestCommands::everyCommandHasHelpAndVersion() {
    for (const QString &command : {u"setup"_s, u"chart"_s, u"match"_s, u"generate-register"_s, u"analyse"_s,
                                   u"check"_s, u"backup"_s, u"restore"_s, u"report"_s, u"compare-chart"_s,
                                   u"export"_s, u"import"_s, u"export-data"_s, u"trend"_s, u"db"_s}) {
        const Run help = test::runCommand(commandNamed(command), {u"--help"_s});
        QCOMPARE(help.status, 0);
        QVERIFY2(help.out.startsWith(u"usage: orlu-cli "_s + command), qPrintable(help.out));
        QVERIFY(help.err.isEmpty());
        const Run version = test::runCommand(commandNamed(command), {u"--version"_s});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, u"orlu-cli 5.07\n"_s);
    }
}

void TestCommands::unwritableOutputGivesStatusOneAndNoFile_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("file");
    QTest::newRow("export into a missing folder") << u"export-data"_s << u"--out"_s << u"@gone/x.csv"_s;
    QTest::newRow("export into a folder that takes no files")
        << u"export-data"_s << u"--out"_s << u"/proc/x.csv"_s;
    QTest::newRow("export onto a folder") << u"export-data"_s << u"--out"_s << u"@"_s;
    QTest::newRow("trend PDF into a missing folder") << u"trend"_s << u"--pdf"_s << u"@gone/t.pdf"_s;
    QTest::newRow("trend image into /proc") << u"trend"_s << u"--png"_s << u"/proc/t.png"_s;
    QTest::newRow("trend operations into a missing folder") << u"trend"_s << u"--ops"_s << u"@gone/t.jsonl"_s;
}

void TestCommands::unwritableOutputGivesStatusOneAndNoFile() {
    QFETCH(QString, command);
    QFETCH(QString, option);
    QFETCH(QString, file);
    test::TempHome home;
    QCOMPARE(test::runCommand(runGenerateRegisterCommand, {u"--home"_s, home.path(), u"--subjects"_s, u"1"_s,
                                                           u"--measurements"_s, u"3"_s})
                 .status,
             0);
    const QStringList before = QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    if (file.startsWith(u'@'))
        file = home.file(file.mid(1));
    QStringList args{u"--home"_s, home.path(), option, file};
    if (command == u"trend"_s)
        args << u"--subject"_s << u"T0000001"_s;
    const Run r = test::runCommand(commandNamed(command), args);
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(file), qPrintable(r.err));
    // Reading the register may leave its write-ahead log beside it; no output file is left.
    QStringList after = QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    after.removeIf([](const QString &name) { return name.startsWith(u"orlu4.mdb-"_s); });
    QCOMPARE(after, before);
}

void TestCommands::oneRuleForReadings_data() {
    QTest::addColumn<QString>("reading");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("whole number") << u"40"_s << true;
    QTest::newRow("decimals") << u"40.25"_s << true;
    QTest::newRow("zero: not measured") << u"0"_s << true;
    QTest::newRow("negative") << u"-10"_s << false;
    QTest::newRow("negative decimal") << u"-0.5"_s << false;
    QTest::newRow("not a number") << u"4O"_s << false;
    QTest::newRow("infinite") << u"inf"_s << false;
    QTest::newRow("decimal comma") << u"40,5"_s << false;
    QTest::newRow("group separator") << u"1,500"_s << false;
    QTest::newRow("leading blank") << u" 5"_s << false;
    QTest::newRow("trailing blank") << u"5 "_s << false;
    QTest::newRow("plus sign") << u"+5"_s << false;
    QTest::newRow("exponent") << u"1e308"_s << false;
    QTest::newRow("at the bound no probe reaches") << u"100000"_s << false;
    QTest::newRow("below the bound") << u"99999.9"_s << true;
    QTest::newRow("an argument of 128 KB") << QString(131072, u'7') << false;
}

// analyse, match and chart take or refuse a reading alike.
void TestCommands::oneRuleForReadings() {
    QFETCH(QString, reading);
    QFETCH(bool, accepted);
    test::TempHome home;
    QVERIFY(buildSuppliedCourses(home.file(u"orluMCn.mdb"_s)));
    QStringList values = readings(40);
    values[5] = reading;
    const QList<std::pair<QString, QStringList>> calls{
        {u"analyse"_s, values},
        {u"match"_s, QStringList{u"--courses"_s, home.file(u"orluMCn.mdb"_s)} + values},
        {u"chart"_s, QStringList{u"1"_s, u"--ops"_s, u"/dev/null"_s} + values}};
    for (const auto &[command, args] : calls) {
        const Run r = test::runCommand(commandNamed(command), args);
        QVERIFY2((r.status == 0) == accepted, qPrintable(command + u": "_s + r.err));
        if (!accepted) {
            QCOMPARE(r.status, 2);
            QVERIFY2(r.err.contains(u"reading 6"_s), qPrintable(r.err));
            QVERIFY2(r.err.size() < 1000, "the message quotes a long argument in part only");
        }
    }
}

void TestCommands::generateRegisterRefusesAFileWithoutTheRegister() {
    test::TempHome home;
    QVERIFY(createDatabaseFile(home.file(u"texts.mdb"_s), SchemaKind::ReferenceTexts));
    const Run r = test::runCommand(runGenerateRegisterCommand,
                                   {u"--database"_s, home.file(u"texts.mdb"_s), u"--subjects"_s, u"2"_s});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(u"not a main database"_s) && r.err.contains(u"KYCUST"_s), qPrintable(r.err));
    QVERIFY(!r.err.contains(u"Parameter count mismatch"_s));
}

void TestCommands::checkReportsDamage() {
    test::TempHome home;
    QVERIFY(createDatabaseFile(home.file(u"KySpa.mdb"_s), SchemaKind::Main));
    QVERIFY(createDatabaseFile(home.file(u"orluCn.mdb"_s), SchemaKind::ReferenceTexts));
    QVERIFY(buildSuppliedCourses(home.file(u"orluMCn.mdb"_s)));
    QCOMPARE(test::runCommand(runGenerateRegisterCommand, {u"--home"_s, home.path(), u"--subjects"_s,
                                                           u"200"_s, u"--measurements"_s, u"2000"_s})
                 .status,
             0);
    const Run sound = test::runCommand(runCheckCommand, {u"--home"_s, home.path()});
    QCOMPARE(sound.status, 0);
    QCOMPARE(sound.out.count(u": ok\n"_s), 4);
    test::damagePages(home.file(u"orlu4.mdb"_s));
    const Run damaged = test::runCommand(runCheckCommand, {u"--home"_s, home.path()});
    QCOMPARE(damaged.status, 1);
    QVERIFY2(damaged.out.contains(home.file(u"orlu4.mdb"_s) + u": 数据库已损坏"_s), qPrintable(damaged.out));
    QVERIFY(damaged.out.contains(home.file(u"orluCn.mdb"_s) + u": ok"_s));
}

void TestCommands::backupAndRestoreRoundTrip() {
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"before"_s, 3));
    const Run backup =
        test::runCommand(runBackupCommand, {u"--home"_s, home.path(), u"--to"_s, home.file(u"copy.mdb"_s)});
    QCOMPARE(backup.status, 0);
    QCOMPARE(QFile::permissions(home.file(u"copy.mdb"_s)) & 0x0077, QFileDevice::Permissions());
    QCOMPARE(test::registerOf(home.file(u"copy.mdb"_s)), test::registerOf(main));

    QVERIFY(QFile::remove(main));
    QVERIFY(test::makeMainDatabase(main, u"after"_s, 1));
    const Run restore = test::runCommand(runRestoreCommand,
                                         {u"--home"_s, home.path(), u"--from"_s, home.file(u"copy.mdb"_s)});
    QCOMPARE(restore.status, 0);
    QCOMPARE(test::markerOf(main), u"before"_s);
    QCOMPARE(test::registerOf(main).size(), 9);
    QCOMPARE(QFile::permissions(main) & 0x0077, QFileDevice::Permissions());
    QCOMPARE(QDir(home.path()).entryList({u".orlu4*"_s, u"*.restore"_s}, QDir::AllEntries | QDir::Hidden),
             QStringList()); // no work copy left behind
    // The replaced register is kept.
    const QStringList kept = QDir(home.file(u"backups"_s)).entryList({u"orlu4-replaced-*.mdb"_s});
    QCOMPARE(kept.size(), 1);
    QCOMPARE(test::markerOf(home.file(u"backups/"_s + kept.first())), u"after"_s);

    const Run onDemand = test::runCommand(runBackupCommand, {u"--home"_s, home.path()});
    QCOMPARE(onDemand.status, 0);
    QCOMPARE(QDir(home.file(u"backups"_s)).entryList({u"orlu4-2*.mdb"_s}).size(), 1);
}

void TestCommands::restoreRefusesAFileThatIsNoRegister() {
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"register"_s, 2));
    home.writeFile(u"junk.mdb"_s, QByteArray(8192, 'j'));
    QVERIFY(createDatabaseFile(home.file(u"texts.mdb"_s), SchemaKind::ReferenceTexts));
    for (const QString &from : {u"junk.mdb"_s, u"texts.mdb"_s, u"missing.mdb"_s}) {
        const Run r =
            test::runCommand(runRestoreCommand, {u"--home"_s, home.path(), u"--from"_s, home.file(from)});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(from), qPrintable(r.err));
        QCOMPARE(test::markerOf(main), u"register"_s);
    }
}

void TestCommands::folderWithAServerRegister() {
    if (test::testServerConnection().isEmpty())
        QSKIP("no PostgreSQL test server (ORLU_TEST_PG is not set)");
    test::ScratchServerDatabase scratch;
    QVERIFY2(!scratch.connection().isEmpty(), qPrintable(scratch.error()));
    const QString server = scratch.connection();
    QCOMPARE(test::runCommand(runDbCommand, {u"init"_s, u"--database"_s, server}).status, 0);
    const Run generated =
        test::runCommand(runGenerateRegisterCommand,
                         {u"--database"_s, server, u"--subjects"_s, u"3"_s, u"--measurements"_s, u"7"_s});
    QVERIFY2(generated.status == 0, qPrintable(generated.err));
    test::TempHome home;
    QVERIFY(storeRegisterConnection(ProgramFolder(home.path()), server));

    // Before, these worked on the folder's own file, which is not the register, and said "ok".
    const Run check = test::runCommand(runCheckCommand, {u"--home"_s, home.path()});
    QVERIFY2(check.out.contains(u": ok (tables and columns)"_s), qPrintable(check.out));
    const Run backup =
        test::runCommand(runBackupCommand, {u"--home"_s, home.path(), u"--to"_s, home.file(u"copy.mdb"_s)});
    QVERIFY2(backup.status == 0, qPrintable(backup.err));
    Database copy;
    QVERIFY(copy.open(home.file(u"copy.mdb"_s), Database::Access::ReadOnly));
    QCOMPARE(countRegister(copy.handle()), (RegisterCounts{3, 7, 0, 0}));
    const Run restore = test::runCommand(runRestoreCommand,
                                         {u"--home"_s, home.path(), u"--from"_s, home.file(u"copy.mdb"_s)});
    QCOMPARE(restore.status, 1);
    QVERIFY2(restore.err.contains(u"is on a server"_s), qPrintable(restore.err));
    QVERIFY(!QFile::exists(home.file(u"orlu4.mdb"_s)));
}

void TestCommands::zoneIsSetOnlyToAKnownZone_data() {
    QTest::addColumn<QString>("zone");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("kept"); // the register's zone afterwards
    QTest::newRow("a name") << u"Asia/Shanghai"_s << 0 << u"Asia/Shanghai"_s;
    QTest::newRow("an offset") << u"UTC+08:00"_s << 0 << u"UTC+08:00"_s;
    QTest::newRow("unknown") << u"Asia/Atlantis"_s << 1 << u"Europe/Vienna"_s;
    QTest::newRow("shown only") << QString() << 0 << u"Europe/Vienna"_s;
}

void TestCommands::zoneIsSetOnlyToAKnownZone() {
    QFETCH(QString, zone);
    QFETCH(int, status);
    QFETCH(QString, kept);
    test::TempHome home;
    const QString main = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"zone"_s, 1));
    const auto run = [&](const QStringList &args) {
        return test::runCommand(runDbCommand, QStringList{u"zone"_s, u"--database"_s, main} + args);
    };
    QCOMPARE(run({u"Europe/Vienna"_s}).status, 0);
    const Run r = run(zone.isEmpty() ? QStringList() : QStringList{zone});
    QCOMPARE(r.status, status);
    QCOMPARE(run({}).out.trimmed(), kept);
    if (status != 0)
        QVERIFY2(r.err.contains(zone), qPrintable(r.err));
}
QTEST_MAIN(TestCommands)
#include "test_commands.moc"
