// Ends the program's file work with SIGKILL at random moments, as a power cut
// or a killed process would, and checks that nothing was lost: after each
// kill (and the start that follows it), every database file passes the
// engine's integrity_check and every subject and measurement that existed
// before is still in one of them.
//
// The work runs in a child process: this program started again with
// "--child WORK FOLDER". It says "go" just before it starts, and is killed
// after a random part of the time the same work takes when left alone.
#include "core/programfolder.h"
#include "storage/database.h"
#include "storage/databasecheck.h"
#include "storage/databasefiles.h"
#include "records/measurementrepository.h"
#include "storage/registerbackup.h"
#include "generator/registergenerator.h"
#include "records/subjectrepository.h"
#include "support/registerfiles.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <cstdio>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

constexpr int Rounds = 50;
const QDate Today(2026, 12, 9);

// --- the work, as the child does it -------------------------------------------------

int childHousekeeping(const ProgramFolder &folder) {
    upgradeDatabaseFiles(folder, QDateTime(Today, QTime(9, 0)));
    return 0;
}

int childBackup(const ProgramFolder &folder) {
    const RegisterBackup backup(folder.file(dbfile::Main), folder.file(u"backups"_s));
    return backup.makeDaily(Today).isEmpty() ? 1 : 0;
}

// Saves one measurement after another, each with a new subject, as the saving window does.
int childSave(const ProgramFolder &folder) {
    Database db;
    if (!db.open(folder.file(dbfile::Main), Database::Access::Shared))
        return 1;
    SubjectRepository subjects(db.handle());
    MeasurementRepository measurements(db.handle());
    for (int i = 0; i < 60; ++i) {
        SubjectRecord s;
        s.subject.number = u"NEW-%1"_s.arg(i);
        s.subject.name = u"新受测者"_s;
        MeasurementRecord m;
        m.subjectNumber = s.subject.number;
        m.measuredAt = 46365.5 + i;
        m.values.fill(12.5);
        if (!subjects.append(s) || !measurements.append(m))
            return 1;
    }
    return 0;
}

int runChild(const QString &work, const QString &path) {
    const ProgramFolder folder(path);
    std::fputs("go\n", stdout);
    std::fflush(stdout);
    if (work == u"housekeeping"_s)
        return childHousekeeping(folder);
    if (work == u"backup"_s)
        return childBackup(folder);
    if (work == u"save"_s)
        return childSave(folder);
    return 2;
}

// --- the folders the work starts from ----------------------------------------------

// Every database file of a folder, backups included.
QStringList databaseFiles(const QString &folder) {
    QStringList files;
    QDirIterator it(folder, {u"*.mdb"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

QSet<QString> registerIn(const QString &folder) {
    QSet<QString> rows;
    for (const QString &file : databaseFiles(folder)) {
        const QStringList found = test::registerOf(file);
        rows.unite(QSet<QString>(found.begin(), found.end()));
    }
    return rows;
}

void copyFolder(const QString &from, const QString &to) {
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files))
        QVERIFY(QFile::copy(from + u'/' + name, to + u'/' + name));
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void killed_data();
    void killed();

private:
    // A folder with a populated main database, the template, and for the housekeeping
    // an update that holds subjects of its own.
    void makeStart(const QString &work, const QString &folder);
    qint64 fullRunMs(const QString &work);

    QTemporaryDir m_fixtures;
    QRandomGenerator m_random{20261209};
};

void TestFaults::initTestCase() {
    const ProgramFolder fixture(m_fixtures.filePath(u"base"_s));
    QVERIFY(QDir().mkpath(fixture.path()));
    QVERIFY(createDatabaseFile(fixture.file(dbfile::Template), SchemaKind::Main));
    QVERIFY(test::makeMainDatabase(fixture.file(dbfile::Main), u"main"_s, 5));
    Database db;
    QVERIFY(db.open(fixture.file(dbfile::Main), Database::Access::Shared));
    QVERIFY(generateRegister(db.handle(), {300, 3000}));
    db.close();
    QVERIFY(test::makeMainDatabase(m_fixtures.filePath(u"orlu430.mdb"_s), u"update"_s, 3));
}

void TestFaults::makeStart(const QString &work, const QString &folder) {
    copyFolder(m_fixtures.filePath(u"base"_s), folder);
    if (work == u"housekeeping"_s)
        QVERIFY(QFile::copy(m_fixtures.filePath(u"orlu430.mdb"_s), folder + u"/orlu430.mdb"_s));
}

qint64 TestFaults::fullRunMs(const QString &work) {
    QTemporaryDir dir;
    makeStart(work, dir.path());
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, work, dir.path()});
    if (!child.waitForReadyRead(10000))
        return -1;
    QElapsedTimer t;
    t.start();
    child.waitForFinished(60000);
    return std::max<qint64>(1, t.elapsed());
}

void TestFaults::killed_data() {
    QTest::addColumn<QString>("work");
    QTest::newRow("start-up housekeeping") << u"housekeeping"_s;
    QTest::newRow("routine backup") << u"backup"_s;
    QTest::newRow("saving measurements") << u"save"_s;
}

void TestFaults::killed() {
    QFETCH(QString, work);
    // The quickest of three runs: one slowed down by a busy machine would send
    // most kills after the work has ended.
    const qint64 span = std::min({fullRunMs(work), fullRunMs(work), fullRunMs(work)});
    QVERIFY(span > 0);
    int killedMidWork = 0;
    for (int round = 0; round < Rounds; ++round) {
        QTemporaryDir dir;
        makeStart(work, dir.path());
        const QSet<QString> before = registerIn(dir.path());
        QVERIFY(!before.isEmpty());

        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, work, dir.path()});
        QVERIFY(child.waitForReadyRead(10000));
        QThread::usleep(m_random.bounded(quint32(span * 1000)));
        child.kill(); // SIGKILL
        QVERIFY(child.waitForFinished(10000));
        if (child.exitStatus() == QProcess::CrashExit)
            ++killedMidWork;

        // The next start does its housekeeping; then every file must be sound and whole.
        upgradeDatabaseFiles(ProgramFolder(dir.path()), QDateTime(Today, QTime(10, 0)));
        for (const QString &file : databaseFiles(dir.path())) {
            const QStringList findings = checkDatabaseFile(file, SchemaKind::Main, PageCheck::Integrity);
            QVERIFY2(findings.isEmpty(),
                     qPrintable(u"round %1, %2: %3"_s.arg(round).arg(file, findings.join(u"; "_s))));
        }
        const QSet<QString> after = registerIn(dir.path());
        const QSet<QString> lost = QSet<QString>(before).subtract(after);
        QVERIFY2(lost.isEmpty(), qPrintable(u"round %1: %2 rows lost, e.g. %3"_s.arg(round)
                                                .arg(lost.size())
                                                .arg(lost.isEmpty() ? QString() : *lost.begin())));
        // There is always a main database to open.
        QVERIFY2(fileExists(dir.filePath(u"orlu4.mdb"_s)), qPrintable(u"round %1"_s.arg(round)));
    }
    std::printf("%s: %d of %d runs killed mid-work (full run %lld ms)\n", qPrintable(work), killedMidWork,
                Rounds, static_cast<long long>(span));
    // Most kills must land inside the work, or the run proves little.
    QVERIFY(killedMidWork > Rounds / 5);
}

int main(int argc, char *argv[]) {
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_faults.moc"
