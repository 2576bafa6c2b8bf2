#include "storage/databasefiles.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/registerfiles.h"
#include "support/temphome.h"

#include <QSqlQuery>
#include <QtTest>

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/stat.h>

using namespace orlu;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(orlu::StartupNotice)

namespace {

const QDateTime Now(QDate(2026, 12, 9), QTime(9, 15, 0));
const QString Kept = u"orlu430-20261209-091500.mdb"_s;

// Sets up a folder from "file" (an empty database marked with its own name),
// "file+rows" (one holding subjects and measurements), "file:junk" (not a database),
// "file:texts" (a database without the register's tables) or "file:fifo".
void prepare(const test::TempHome &home, const QString &setup) {
    const QString file = setup.section(u':', 0, 0).section(u'+', 0, 0);
    const QString kind = setup.section(u':', 1);
    const QString path = home.file(file);
    if (kind == u"junk"_s)
        home.writeFile(file, QByteArray(4096, 'x'));
    else if (kind == u"texts"_s)
        QVERIFY(createDatabaseFile(path, SchemaKind::ReferenceTexts));
    else if (kind == u"fifo"_s)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(test::makeMainDatabase(path, file, setup.contains(u'+') ? 3 : 0));
}

// Files written meanwhile cannot grow past `bytes`: a disk that fills up part-way,
// which works for root too (no permission bit stops root).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the test
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    bool m_set = false;
};

// The notices a row expects, each with a fragment of its text.
using Notices = QList<StartupNotice>;

QStringList leftOver(const test::TempHome &home) {
    return QDir(home.path()).entryList({u"*.copy*"_s, u"*.new*"_s}, QDir::Files | QDir::System);
}

} // namespace

class TestDatabaseFiles : public QObject {
    Q_OBJECT
private slots:
    void upgrade_data();
    void upgrade();
    void swapKeepsWhatTheLogHolds();
    void aSecondLookKeepsTheEnginesLocks();
    void datedNamesNeverCollide();
    void fullDiskLeavesNoHalfFile();
};

void TestDatabaseFiles::upgrade_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>(
        "after"); // "file=marker", "file=" for absent, "file=?" present but no database
    QTest::addColumn<Notices>("notices");

    // The housekeeping as it always was, for files that pass the checks.
    QTest::newRow("update replaces the main database")
        << QStringList{u"orlu430.mdb"_s, u"orlu4.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=orlu430.mdb"_s, u"orlu.mdb=orlu4.mdb"_s, u"orlu430.mdb="_s} << Notices{};
    QTest::newRow("no main database: from the template")
        << QStringList{u"KySpa.mdb"_s} << QStringList{u"orlu4.mdb=KySpa.mdb"_s, u"KySpa.mdb=KySpa.mdb"_s}
        << Notices{};
    QTest::newRow("renames never overwrite an unconverted legacy file")
        << QStringList{u"orlu430.mdb"_s, u"orlu4.mdb"_s, u"orlu.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=orlu4.mdb"_s, u"orlu.mdb=orlu.mdb"_s, u"orlu430.mdb="_s} << Notices{};
    QTest::newRow("update without a main database: template used, update dropped")
        << QStringList{u"orlu430.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=KySpa.mdb"_s, u"orlu430.mdb="_s} << Notices{};
    QTest::newRow("no template, no main database")
        << QStringList{} << QStringList{u"orlu4.mdb="_s} << Notices{};
    QTest::newRow("ordinary start changes nothing")
        << QStringList{u"orlu4.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=orlu4.mdb"_s, u"orlu.mdb="_s} << Notices{};

    // An update that holds part of a register is never deleted.
    QTest::newRow("populated update without a main database is kept")
        << QStringList{u"orlu430.mdb+rows"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=KySpa.mdb"_s, u"orlu430.mdb="_s, Kept + u"=orlu430.mdb"_s}
        << Notices{{MessageType::NoteCaution, Kept}};
    QTest::newRow("populated update beside an unconverted legacy file is kept")
        << QStringList{u"orlu430.mdb+rows"_s, u"orlu4.mdb"_s, u"orlu.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=orlu4.mdb"_s, u"orlu.mdb=orlu.mdb"_s, u"orlu430.mdb="_s,
                       Kept + u"=orlu430.mdb"_s}
        << Notices{{MessageType::NoteCaution, Kept}};
    // An update that fails the checks of a main database leaves every file as it was.
    QTest::newRow("garbage update beside the main database")
        << QStringList{u"orlu430.mdb:junk"_s, u"orlu4.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=orlu4.mdb"_s, u"orlu.mdb="_s, u"orlu430.mdb=?"_s}
        << Notices{{MessageType::NoteError, u"orlu430.mdb"_s}};
    QTest::newRow("update without the register's tables")
        << QStringList{u"orlu430.mdb:texts"_s, u"orlu4.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=orlu4.mdb"_s, u"orlu.mdb="_s, u"orlu430.mdb=?"_s}
        << Notices{{MessageType::NoteError, u"KYCUST"_s}};
    QTest::newRow("garbage update beside a legacy file is not deleted")
        << QStringList{u"orlu430.mdb:junk"_s, u"orlu4.mdb"_s, u"orlu.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=orlu4.mdb"_s, u"orlu.mdb=orlu.mdb"_s, u"orlu430.mdb=?"_s}
        << Notices{{MessageType::NoteError, u"orlu430.mdb"_s}};
    QTest::newRow("garbage update without a main database: template used, update kept")
        << QStringList{u"orlu430.mdb:junk"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=KySpa.mdb"_s, u"orlu430.mdb=?"_s}
        << Notices{{MessageType::NoteError, u"orlu430.mdb"_s}};
    // A pipe in a database's place is the operator's: never replaced, never opened.
    QTest::newRow("pipe as main database")
        << QStringList{u"orlu4.mdb:fifo"_s, u"KySpa.mdb"_s} << QStringList{u"orlu4.mdb=?"_s} << Notices{};
    QTest::newRow("pipe as update") << QStringList{u"orlu430.mdb:fifo"_s, u"orlu4.mdb"_s, u"KySpa.mdb"_s}
                                    << QStringList{u"orlu4.mdb=orlu4.mdb"_s, u"orlu430.mdb=?"_s}
                                    << Notices{{MessageType::NoteError, u"orlu430.mdb"_s}};
}

void TestDatabaseFiles::upgrade() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(Notices, notices);
    test::TempHome home;
    for (const QString &setup : before)
        prepare(home, setup);
    const HousekeepingReport report = upgradeDatabaseFiles(ProgramFolder(home.path()), Now);
    for (const QString &expect : after) {
        const QString file = expect.section(u'=', 0, 0);
        const QString marker = expect.section(u'=', 1);
        if (marker.isEmpty())
            QVERIFY2(!QFileInfo::exists(home.file(file)), qPrintable(file));
        else if (marker == u"?"_s)
            QVERIFY2(QFileInfo::exists(home.file(file)) && test::markerOf(home.file(file)).isEmpty(),
                     qPrintable(file));
        else
            QCOMPARE(test::markerOf(home.file(file)), marker);
    }
    QCOMPARE(report.notices.size(), notices.size());
    for (qsizetype i = 0; i < notices.size(); ++i) {
        QCOMPARE(report.notices[i].type, notices[i].type);
        QVERIFY2(report.notices[i].text.contains(notices[i].text), qPrintable(report.notices[i].text));
    }
    // Kept or refused, a populated update's rows are all still there.
    if (before.contains(u"orlu430.mdb+rows"_s))
        QCOMPARE(test::registerOf(home.file(Kept)).size(), 9);
}

void TestDatabaseFiles::swapKeepsWhatTheLogHolds() {
    // A main database whose last change is still in its write-ahead log, as a crash leaves it.
    QTemporaryDir source;
    const QString main = source.filePath(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"orlu4.mdb"_s));
    Database writer;
    QVERIFY(writer.open(main, Database::Access::Shared));
    QSqlQuery q(writer.handle());
    QVERIFY(q.exec(u"PRAGMA wal_autocheckpoint=0"_s));
    QVERIFY(q.exec(u"INSERT INTO KYCUST (CUSTNO, NAME) VALUES ('LOGGED', 'x')"_s));
    test::TempHome home;
    QVERIFY(QFile::copy(main, home.file(u"orlu4.mdb"_s)));
    QVERIFY(QFile::copy(main + u"-wal"_s, home.file(u"orlu4.mdb-wal"_s)));
    QVERIFY(QFileInfo(home.file(u"orlu4.mdb-wal"_s)).size() > 0);
    QVERIFY(test::makeMainDatabase(home.file(u"orlu430.mdb"_s), u"orlu430.mdb"_s));

    upgradeDatabaseFiles(ProgramFolder(home.path()), Now);
    QCOMPARE(test::markerOf(home.file(u"orlu4.mdb"_s)), u"orlu430.mdb"_s);
    QVERIFY(test::registerOf(home.file(u"orlu.mdb"_s)).contains(u"S:LOGGED"_s));
    // The old log went into its own file, never over to the new main database.
    QVERIFY(!test::registerOf(home.file(u"orlu4.mdb"_s)).contains(u"S:LOGGED"_s));
}

namespace {

// Whether another program sees the engine's shared-lock bytes held; while they are, no other
// program takes the file for unused and deletes its write-ahead log.
bool anotherProgramSeesItHeld(const QString &path) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        struct flock probe {};
        probe.l_type = F_WRLCK;
        probe.l_start = 0x40000002; // past the engine's pending byte
        probe.l_len = 510;
        ::_exit(fd >= 0 && ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

// A descriptor of this program's own on the register, closed after a header check or by a
// second connection, would drop every lock the engine holds on the file.
void TestDatabaseFiles::aSecondLookKeepsTheEnginesLocks() {
    QTemporaryDir dir;
    const QString main = dir.filePath(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(main, u"orlu4.mdb"_s));
    Database writer;
    QVERIFY(writer.open(main, Database::Access::Shared));
    QVERIFY(QSqlQuery(writer.handle()).exec(u"INSERT INTO KYCUST (CUSTNO, NAME) VALUES ('SAVED', 'x')"_s));
    QVERIFY(anotherProgramSeesItHeld(main));
    QVERIFY(isSqliteFile(main));
    QCOMPARE(sqliteFileHead(main), FileHead::Sqlite);
    QVERIFY(Database().open(main, Database::Access::ReadOnly));
    QVERIFY(anotherProgramSeesItHeld(main));
    writer.close();
    QVERIFY(!anotherProgramSeesItHeld(main));
}

void TestDatabaseFiles::datedNamesNeverCollide() {
    test::TempHome home;
    home.writeFile(Kept, "taken");
    QCOMPARE(datedFileName(home.file(u"orlu430.mdb"_s), Now), home.file(u"orlu430-20261209-091500-2.mdb"_s));
}

// A start whose main database cannot be made from the template (the disk is
// full) says so and leaves neither a half main database nor its temporary copy;
// the same for a database file made from nothing.
void TestDatabaseFiles::fullDiskLeavesNoHalfFile() {
    test::TempHome home;
    QVERIFY(test::makeMainDatabase(home.file(u"KySpa.mdb"_s), u"template"_s, 40));
    QVERIFY(QFileInfo(home.file(u"KySpa.mdb"_s)).size() > 16384);
    {
        FileSizeLimit full(8192);
        QVERIFY(full.isSet());
        const HousekeepingReport report = upgradeDatabaseFiles(ProgramFolder(home.path()), Now);
        QVERIFY2(report.mainProblem.contains(u"KySpa.mdb"_s), qPrintable(report.mainProblem));
        QString error;
        QVERIFY(!createDatabaseFile(home.file(u"made.mdb"_s), SchemaKind::Main, &error));
    }
    QVERIFY(!QFileInfo::exists(home.file(u"orlu4.mdb"_s)));
    QVERIFY(!QFileInfo::exists(home.file(u"made.mdb"_s)));
    QCOMPARE(leftOver(home), QStringList());
    QCOMPARE(test::markerOf(home.file(u"KySpa.mdb"_s)), u"template"_s);
    // With room again the next start makes it.
    QVERIFY(upgradeDatabaseFiles(ProgramFolder(home.path()), Now).mainProblem.isEmpty());
    QCOMPARE(test::registerOf(home.file(u"orlu4.mdb"_s)), test::registerOf(home.file(u"KySpa.mdb"_s)));
}

QTEST_GUILESS_MAIN(TestDatabaseFiles)
#include "test_databasefiles.moc"
