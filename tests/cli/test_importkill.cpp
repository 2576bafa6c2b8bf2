// Kills `orlu-cli import` at random moments and checks after each kill that the main
// database is whole and holds either its old rows or the old rows plus every imported
// one, never a part.
#include "storage/database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

constexpr int ImportedSubjects = 2000;
constexpr int ImportedMeasurements = 20000;
constexpr int Rounds = 60;

const QString Cli = QStringLiteral(ORLU_CLI);

struct Counts {
    bool whole = false;
    qint64 subjects = -1;
    qint64 measurements = -1;
};

Counts countsOf(const QString &path) {
    Counts c;
    Database db;
    if (!db.open(path, Database::Access::Shared))
        return c;
    QSqlQuery q(db.handle());
    c.whole = q.exec(u"PRAGMA integrity_check"_s) && q.next() && q.value(0).toString() == u"ok"_s;
    q.finish();
    if (q.exec(u"SELECT (SELECT count(*) FROM KYCUST), (SELECT count(*) FROM KYDATA)"_s) && q.next()) {
        c.subjects = q.value(0).toLongLong();
        c.measurements = q.value(1).toLongLong();
    }
    return c;
}

int runCli(const QStringList &args, QByteArray *err = nullptr) {
    QProcess p;
    p.start(Cli, args);
    p.waitForFinished(120000);
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void removeCompanions(const QString &path) {
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        QFile::remove(path + QString::fromLatin1(suffix));
}

} // namespace

class TestImportKill : public QObject {
    Q_OBJECT
private slots:
    void killedImportLeavesOldOrAllRows();
};

void TestImportKill::killedImportLeavesOldOrAllRows() {
    QTemporaryDir dir;
    const QString source = dir.filePath(u"source"_s);
    const QString target = dir.filePath(u"target"_s);
    const QString outside = dir.filePath(u"outside"_s);
    QVERIFY(QDir().mkpath(outside));
    QCOMPARE(runCli({u"setup"_s, u"--home"_s, source}), 0);
    QCOMPARE(runCli({u"setup"_s, u"--home"_s, target}), 0);
    QCOMPARE(runCli({u"generate-register"_s, u"--home"_s, source, u"--subjects"_s,
                     QString::number(ImportedSubjects), u"--measurements"_s,
                     QString::number(ImportedMeasurements)}),
             0);
    QCOMPARE(runCli({u"generate-register"_s, u"--home"_s, target, u"--subjects"_s, u"30"_s,
                     u"--measurements"_s, u"300"_s, u"--seed"_s, u"7"_s}),
             0);
    QCOMPARE(runCli({u"export"_s, u"--home"_s, source, u"--to"_s, outside}), 0);
    const QString transfer = QDir(outside).filePath(u"KyTran.mdb"_s);
    const QString main = QDir(target).filePath(u"orlu4.mdb"_s);
    const QString pristine = dir.filePath(u"pristine.mdb"_s);
    QVERIFY(QFile::copy(main, pristine));
    const Counts old = countsOf(main);
    QVERIFY(old.whole);

    // How long a whole import takes here, to spread the kills over it.
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(runCli({u"import"_s, u"--home"_s, target, u"--append"_s, u"--from"_s, transfer}), 0);
    const qint64 wholeMs = qMax<qint64>(timer.elapsed(), 20);
    QCOMPARE(countsOf(main).measurements, old.measurements + ImportedMeasurements);

    const quint32 seed = qEnvironmentVariableIsSet("ORLU_KILL_SEED")
                             ? qEnvironmentVariableIntValue("ORLU_KILL_SEED")
                             : QRandomGenerator::global()->generate();
    qInfo("seed %u (ORLU_KILL_SEED), a whole import takes %lld ms", seed, wholeMs);
    QRandomGenerator random(seed);
    int killedBefore = 0;
    int completed = 0;
    for (int round = 0; round < Rounds; ++round) {
        removeCompanions(main);
        QFile::remove(main);
        QVERIFY(QFile::copy(pristine, main));
        QFile::setPermissions(main, QFile::ReadOwner | QFile::WriteOwner);
        const bool replace = round % 5 == 4;
        QProcess p;
        p.start(Cli, {u"import"_s, u"--home"_s, target, replace ? u"--replace"_s : u"--append"_s, u"--from"_s,
                      transfer});
        QVERIFY(p.waitForStarted());
        const int delay = int(random.bounded(qint64(wholeMs * 6 / 5) + 1));
        if (!p.waitForFinished(delay)) {
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished();
        }
        const Counts after = countsOf(main);
        QVERIFY2(after.whole, qPrintable(u"round %1: integrity check failed"_s.arg(round)));
        const qint64 done = replace ? ImportedMeasurements : old.measurements + ImportedMeasurements;
        const qint64 doneSubjects = replace ? ImportedSubjects : old.subjects + ImportedSubjects;
        const bool isOld = after.measurements == old.measurements && after.subjects == old.subjects;
        const bool isDone = after.measurements == done && after.subjects == doneSubjects;
        QVERIFY2(isOld || isDone,
                 qPrintable(u"round %1 (killed after %2 ms): %3 subjects, %4 measurements"_s.arg(round)
                                .arg(delay)
                                .arg(after.subjects)
                                .arg(after.measurements)));
        killedBefore += isOld ? 1 : 0;
        completed += isDone ? 1 : 0;
        const QDir backups(QDir(target).filePath(u"backups"_s));
        for (const QString &backup : backups.entryList({u"orlu4-backup-*"_s}))
            QFile::remove(backups.filePath(backup));
    }
    qInfo("%d rounds: %d left the old rows, %d all imported rows", Rounds, killedBefore, completed);
    QVERIFY2(killedBefore > 0, "no import was killed part-way: the loop tested nothing");
}

QTEST_GUILESS_MAIN(TestImportKill)
#include "test_importkill.moc"
