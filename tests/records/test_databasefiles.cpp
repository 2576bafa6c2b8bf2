#include "records/databasefiles.h"
#include "support/temphome.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

// Each file present before start-up holds its own name as content, so the
// test can tell where every file ended up.
class TestDatabaseFiles : public QObject {
    Q_OBJECT
private slots:
    void upgrade_data();
    void upgrade();
    void renameCarriesTheLog();
};

void TestDatabaseFiles::upgrade_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after"); // "file=content", or "file=" for absent
    QTest::newRow("update replaces the main database")
        << QStringList{u"orlu430.mdb"_s, u"orlu4.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=orlu430.mdb"_s, u"orlu.mdb=orlu4.mdb"_s, u"orlu430.mdb="_s};
    QTest::newRow("no main database: from the template")
        << QStringList{u"KySpa.mdb"_s} << QStringList{u"orlu4.mdb=KySpa.mdb"_s, u"KySpa.mdb=KySpa.mdb"_s};
    QTest::newRow("renames never overwrite an unconverted legacy file")
        << QStringList{u"orlu430.mdb"_s, u"orlu4.mdb"_s, u"orlu.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=orlu4.mdb"_s, u"orlu.mdb=orlu.mdb"_s, u"orlu430.mdb="_s};
    QTest::newRow("update without a main database: template used, update dropped")
        << QStringList{u"orlu430.mdb"_s, u"KySpa.mdb"_s}
        << QStringList{u"orlu4.mdb=KySpa.mdb"_s, u"orlu430.mdb="_s};
    QTest::newRow("no template, no main database") << QStringList{} << QStringList{u"orlu4.mdb="_s};
    QTest::newRow("ordinary start changes nothing") << QStringList{u"orlu4.mdb"_s, u"KySpa.mdb"_s}
                                                    << QStringList{u"orlu4.mdb=orlu4.mdb"_s, u"orlu.mdb="_s};
}

void TestDatabaseFiles::upgrade() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    test::TempHome home;
    for (const QString &f : before)
        home.writeFile(f, f.toUtf8());
    upgradeDatabaseFiles(ProgramFolder(home.path()));
    for (const QString &expect : after) {
        const QString file = expect.section(u'=', 0, 0);
        const QString content = expect.section(u'=', 1);
        if (content.isEmpty())
            QVERIFY2(!QFileInfo::exists(home.file(file)), qPrintable(file));
        else
            QCOMPARE(QString::fromUtf8(home.readFile(file)), content);
    }
}

void TestDatabaseFiles::renameCarriesTheLog() {
    test::TempHome home;
    home.writeFile(u"orlu4.mdb"_s, "main");
    home.writeFile(u"orlu4.mdb-wal"_s, "log");
    home.writeFile(u"orlu430.mdb"_s, "update");
    upgradeDatabaseFiles(ProgramFolder(home.path()));
    QCOMPARE(home.readFile(u"orlu.mdb-wal"_s), QByteArray("log"));
    QVERIFY(!QFileInfo::exists(home.file(u"orlu4.mdb-wal"_s)));
    QCOMPARE(home.readFile(u"orlu4.mdb"_s), QByteArray("update"));
}

QTEST_GUILESS_MAIN(TestDatabaseFiles)
#include "test_databasefiles.moc"
