#include "cli/transfercommands.h"
#include "platform/programlock.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/temphome.h"
#include "support/commandrun.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

using Run = test::CommandRun;

int subjects(const QString &file) {
    Database db;
    if (!db.open(file, Database::Access::ReadOnly))
        return -1;
    QSqlQuery q(db.handle());
    return q.exec(u"SELECT count(*) FROM KYCUST"_s) && q.next() ? q.value(0).toInt() : -1;
}

} // namespace

class TestTransferCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void badArgumentsExitWithTwo_data();
    void badArgumentsExitWithTwo();
    void exportThenImportIntoAnotherInstallation();
    void failedImportExitsWithOneAndChangesNothing();

private:
    test::TempHome m_home;
    QTemporaryDir m_other;
    QTemporaryDir m_outside;
};

void TestTransferCommands::initTestCase() {
    QString error;
    QVERIFY2(createDatabaseFile(m_home.file(u"KySpa.mdb"_s), SchemaKind::Main, &error), qPrintable(error));
    QVERIFY(QFile::copy(m_home.file(u"KySpa.mdb"_s), m_home.file(u"orlu4.mdb"_s)));
    Database db;
    QVERIFY(db.open(m_home.file(u"orlu4.mdb"_s), Database::Access::Shared));
    QVERIFY(QSqlQuery(db.handle())
                .exec(u"INSERT INTO KYCUST (CUSTNO, NAME) VALUES ('A1', '张三'), ('A2', '李四')"_s));
}

void TestTransferCommands::badArgumentsExitWithTwo_data() {
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QStringList>("args");
    QTest::newRow("export without --to") << true << QStringList{u"--records"_s};
    QTest::newRow("export to a missing folder") << true << QStringList{u"--to"_s, u"/nonexistent/folder"_s};
    QTest::newRow("export with an unknown option") << true << QStringList{u"--to"_s, u"/tmp"_s, u"--fast"_s};
    QTest::newRow("import without a mode") << false << QStringList{u"--from"_s, u"/tmp/KyTran.mdb"_s};
    QTest::newRow("import with both modes")
        << false << QStringList{u"--append"_s, u"--replace"_s, u"--from"_s, u"/tmp/KyTran.mdb"_s};
    QTest::newRow("import without --from") << false << QStringList{u"--append"_s};
    QTest::newRow("import with a stray argument")
        << false << QStringList{u"--append"_s, u"--from"_s, u"a"_s, u"b"_s};
}

void TestTransferCommands::badArgumentsExitWithTwo() {
    QFETCH(bool, exporting);
    QFETCH(QStringList, args);
    const Run r = test::runCommand(exporting ? runExportCommand : runImportCommand, args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(!r.err.isEmpty());
}

void TestTransferCommands::exportThenImportIntoAnotherInstallation() {
    const Run exported = test::runCommand(runExportCommand, {u"--records"_s, u"--to"_s, m_outside.path()});
    QCOMPARE(exported.status, 0);
    QCOMPARE(exported.err, u"资料汇出成功 !!\n"_s);
    QVERIFY(QFile::copy(m_home.file(u"KySpa.mdb"_s), m_other.filePath(u"KySpa.mdb"_s)));
    const QString transfer = m_outside.filePath(u"KyTran.mdb"_s);
    const Run imported = test::runCommand(
        runImportCommand, {u"--home"_s, m_other.path(), u"--replace"_s, u"--from"_s, transfer});
    QCOMPARE(imported.status, 0);
    QVERIFY2(imported.err.contains(u"数据汇入成功，原有的数据已被取代 !!"_s), qPrintable(imported.err));
    QVERIFY(imported.err.contains(u"orlu4-backup-"_s));
    QCOMPARE(subjects(m_other.filePath(u"orlu4.mdb"_s)), 2); // a new installation's register, then filled
    {
        // While the program runs on the folder, its register is left alone.
        ProgramLock running{m_other.path()};
        QCOMPARE(running.acquire(), ProgramLock::Outcome::Acquired);
        const Run refused = test::runCommand(
            runImportCommand, {u"--home"_s, m_other.path(), u"--append"_s, u"--from"_s, transfer});
        QCOMPARE(refused.status, 1);
        // The holder is named: here this very process, as another run of the same tool.
        QVERIFY2(refused.err.contains(u"(process %1)"_s.arg(QCoreApplication::applicationPid())),
                 qPrintable(refused.err));
        QCOMPARE(subjects(m_other.filePath(u"orlu4.mdb"_s)), 2);
    }
    QCOMPARE(test::runCommand(runImportCommand,
                              {u"--home"_s, m_other.path(), u"--append"_s, u"--from"_s, transfer})
                 .status,
             0);
    QCOMPARE(subjects(m_other.filePath(u"orlu4.mdb"_s)), 4);
}

void TestTransferCommands::failedImportExitsWithOneAndChangesNothing() {
    const QString bogus = m_outside.filePath(u"bogus.mdb"_s);
    QFile f(bogus);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a register");
    f.close();
    const Run r = test::runCommand(runImportCommand, {u"--replace"_s, u"--from"_s, bogus});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.endsWith(u" 请排除问题后重新汇入数据。\n"_s));
    QCOMPARE(subjects(m_home.file(u"orlu4.mdb"_s)), 2);
    QCOMPARE(
        test::runCommand(runImportCommand, {u"--append"_s, u"--from"_s, m_outside.filePath(u"none.mdb"_s)})
            .err,
        u"来源的档案数据不存在 !! 请排除问题后重新汇入数据。\n"_s);
}

QTEST_GUILESS_MAIN(TestTransferCommands)
#include "test_transfercommands.moc"
