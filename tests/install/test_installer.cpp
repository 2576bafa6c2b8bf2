#include "install/installer.h"
#include "storage/database.h"
#include "storage/databasefiles.h"
#include "support/temphome.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestInstaller : public QObject {
    Q_OBJECT
private slots:
    void createsEveryInstallationFile_data();
    void createsEveryInstallationFile();
    void neverTouchesTheOperatorsFiles();
    void reportsAFolderThatCannotBeMade();
};

void TestInstaller::createsEveryInstallationFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    QTest::newRow("template") << dbfile::Template << u"KYDATA"_s;
    QTest::newRow("reference texts") << dbfile::ReferenceTexts << u"KYMTDB"_s;
    QTest::newRow("supplied courses") << dbfile::SuppliedCourses << u"KYPRDT"_s;
}

void TestInstaller::createsEveryInstallationFile() {
    QFETCH(QString, file);
    QFETCH(QString, table);
    test::TempHome home;
    const InstallReport report = install(ProgramFolder(home.path()));
    QVERIFY2(report.ok, qPrintable(report.error));
    QVERIFY(report.written.contains(file));
    QVERIFY(QFileInfo::exists(home.path() + u"Data/PLh1.bmp"_s));
    QVERIFY(QFileInfo::exists(home.path() + u"Data/CRf6.bmp"_s));
    Database db;
    QVERIFY(db.open(home.file(file), Database::Access::ReadOnly));
    QVERIFY(db.handle().tables().contains(table));
    QVERIFY2(!QFileInfo::exists(home.file(file) + u"-wal"_s), "installation files are whole on their own");
}

void TestInstaller::neverTouchesTheOperatorsFiles() {
    test::TempHome home;
    home.writeFile(dbfile::Main, "the operator's register");
    home.writeFile(dbfile::Settings, "4000\r\n");
    QVERIFY(install(ProgramFolder(home.path())).ok);
    QVERIFY(install(ProgramFolder(home.path())).ok);
    QCOMPARE(home.readFile(dbfile::Main), QByteArray("the operator's register"));
    QCOMPARE(home.readFile(dbfile::Settings), QByteArray("4000\r\n"));
}

void TestInstaller::reportsAFolderThatCannotBeMade() {
    test::TempHome home;
    home.writeFile(u"blocker"_s, "a file where the folder should be");
    const InstallReport report = install(ProgramFolder(home.file(u"blocker"_s)));
    QVERIFY(!report.ok);
    QVERIFY(!report.error.isEmpty());
}

QTEST_MAIN(TestInstaller)
#include "test_installer.moc"
