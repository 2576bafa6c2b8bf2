#include "storage/database.h"
#include "records/measurementlistmodel.h"
#include "storage/registercopy.h"
#include "storage/serverschema.h"
#include "records/subjectlistmodel.h"
#include "support/backends.h"
#include "support/virtualtime.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

using namespace orlu;
using namespace Qt::StringLiterals;

// Four seats write into one register on a server at once while a fifth pages the reading
// window's lists: nothing is lost, doubled or refused.
class TestRegisterLoad : public QObject {
    Q_OBJECT
private slots:
    void fourWritersAndAReader();
    void fourWritersCreateAndFillOneFile();
};

void TestRegisterLoad::fourWritersAndAReader() {
    if (test::testServerConnection().isEmpty())
        QSKIP("no PostgreSQL test server (ORLU_TEST_PG is not set)");
    constexpr int Writers = 4;
    constexpr int Subjects = 500;
    constexpr int MeasurementsEach = 5;
    test::ScratchServerDatabase scratch;
    Database db;
    QVERIFY2(db.openServer(scratch.connection()), qPrintable(scratch.error()));
    QCOMPARE(initServerRegister(db.handle()), InitResult::Created);

    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 1; w <= Writers; ++w) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(ORLU_CLI_PATH),
                 {u"generate-register"_s, u"--database"_s, scratch.connection(), u"--subjects"_s,
                  QString::number(Subjects), u"--measurements"_s,
                  QString::number(Subjects * MeasurementsEach), u"--prefix"_s, u"W%1-"_s.arg(w), u"--seed"_s,
                  QString::number(w), u"--one-by-one"_s});
        QVERIFY(p->waitForStarted());
        writers.push_back(std::move(p));
    }

    // The reader: open the subject list, read pages here and there, and the measurements of a row.
    test::VirtualTime time;
    SubjectListModel subjects(db.handle(), time);
    MeasurementListModel measurements(db.handle());
    QRandomGenerator rng(5);
    int reads = 0;
    auto running = [&] {
        for (const auto &p : writers) {
            if (p->state() != QProcess::NotRunning)
                return true;
        }
        return false;
    };
    while (running()) {
        QVERIFY2(subjects.open(SubjectOrder::fromCode(1 + int(rng.bounded(9)))),
                 qPrintable(subjects.lastError()));
        if (subjects.rowCount() > 0) {
            const int row = int(rng.bounded(subjects.rowCount()));
            const auto subject = subjects.subjectAt(row);
            QVERIFY2(subject, qPrintable(subjects.lastError()));
            QVERIFY(measurements.setSubjectNumber(subject->number));
            for (int r = 0; r < measurements.rowCount(); ++r)
                QVERIFY(measurements.recordAt(r));
        }
        ++reads;
        for (const auto &p : writers)
            p->waitForFinished(20);
    }
    for (const auto &p : writers) {
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
        QCOMPARE(p->readAllStandardError(), QByteArray());
    }
    QVERIFY(reads > 0);
    const RegisterCounts counts = countRegister(db.handle());
    QCOMPARE(counts[0], qint64(Writers * Subjects));
    QCOMPARE(counts[1], qint64(Writers * Subjects * MeasurementsEach));
    QSqlQuery q(db.handle());
    QVERIFY(q.exec(u"SELECT count(DISTINCT lower(CUSTNO)), count(DISTINCT MKEY) FROM KYCUST"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), Writers * Subjects);
    QCOMPARE(q.value(1).toInt(), Writers * Subjects);
    // Every measurement belongs to a stored subject, five each.
    QVERIFY(q.exec(u"SELECT count(*) FROM (SELECT c.MKEY FROM KYCUST c JOIN KYDATA d ON d.CUSTNO = c.CUSTNO "
                   "GROUP BY c.MKEY HAVING count(*) = 5) AS full_subjects"_s) &&
            q.next());
    QCOMPARE(q.value(0).toInt(), Writers * Subjects);
    // The list the reading window opens on sees them all.
    QVERIFY(subjects.open({}));
    QCOMPARE(subjects.rowCount(), Writers * Subjects);
}

// Four programs on a register file that is not there yet, each with one long transaction
// (longer than a connection waits for a lock): one of them makes the file, all four fill it.
void TestRegisterLoad::fourWritersCreateAndFillOneFile() {
    constexpr int Writers = 4;
    constexpr int Subjects = 2000;
    constexpr int Measurements = 40000;
    QTemporaryDir dir;
    const QString file = dir.filePath(u"orlu4.mdb"_s);
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 1; w <= Writers; ++w) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(ORLU_CLI_PATH),
                 {u"generate-register"_s, u"--database"_s, file, u"--subjects"_s, QString::number(Subjects),
                  u"--measurements"_s, QString::number(Measurements), u"--prefix"_s, u"W%1-"_s.arg(w),
                  u"--seed"_s, QString::number(w)});
        QVERIFY(p->waitForStarted());
        writers.push_back(std::move(p));
    }
    for (const auto &p : writers) {
        QVERIFY(p->waitForFinished(LockPatienceMs + 60000));
        QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
    }
    {
        Database db;
        QVERIFY(db.open(file, Database::Access::ReadOnly));
        const RegisterCounts counts = countRegister(db.handle());
        QCOMPARE(counts[0], qint64(Writers * Subjects));
        QCOMPARE(counts[1], qint64(Writers * Measurements));
    }
    // Nothing of the making (the losers' work folders) is left beside it.
    QCOMPARE(QDir(dir.path()).entryList({u".*"_s}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_GUILESS_MAIN(TestRegisterLoad)
#include "test_registerload.moc"
