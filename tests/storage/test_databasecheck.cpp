#include "storage/database.h"
#include "storage/databasecheck.h"
#include "generator/registergenerator.h"
#include "storage/startupdatabases.h"
#include "support/registerfiles.h"
#include "support/temphome.h"

#include <QtTest>

#include <sys/stat.h>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// A main database that a fault or an old tool left without something the program needs.
void mainDatabaseWithout(const QString &path, const QString &change) {
    QVERIFY(createDatabaseFile(path, SchemaKind::Main));
    Database db;
    QVERIFY(db.open(path, Database::Access::Shared));
    QSqlQuery q(db.handle());
    if (change == u"KYDATA"_s) {
        QVERIFY(q.exec(u"DROP TABLE KYDATA"_s));
    } else if (change == u"NAME"_s) {
        QVERIFY(q.exec(u"SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'KYCUST'"_s));
        QStringList indexes;
        while (q.next())
            indexes << q.value(0).toString();
        for (const QString &index : indexes)
            QVERIFY(q.exec(u"DROP INDEX "_s + index));
        QVERIFY2(q.exec(u"ALTER TABLE KYCUST DROP COLUMN NAME"_s), qPrintable(q.lastError().text()));
    }
}

QString registerWithPages(const test::TempHome &home) {
    const QString path = home.file(u"orlu4.mdb"_s);
    if (!createDatabaseFile(path, SchemaKind::Main))
        return {};
    Database db;
    if (!db.open(path, Database::Access::Shared) || !generateRegister(db.handle(), {200, 2000}))
        return {};
    return path;
}

} // namespace

class TestDatabaseCheck : public QObject {
    Q_OBJECT
private slots:
    void findings_data();
    void findings();
    void damagedPagesAreFoundOnlyByThePageCheck();
    void startOpening_data();
    void startOpening();
};

void TestDatabaseCheck::findings_data() {
    QTest::addColumn<QString>("file");  // what stands in the main database's place
    QTest::addColumn<QString>("found"); // a fragment of the finding, empty for a sound file
    QTest::newRow("sound") << u"sound"_s << QString();
    QTest::newRow("measurements table missing") << u"KYDATA"_s << u"缺少数据表 KYDATA"_s;
    QTest::newRow("subject name column missing") << u"NAME"_s << u"数据表 KYCUST 缺少字段 NAME"_s;
    QTest::newRow("not a database") << u"junk"_s << u"不是数据库文件"_s;
    QTest::newRow("empty file") << u"empty"_s << u"不是数据库文件"_s;
    QTest::newRow("pipe") << u"fifo"_s << u"不是普通文件"_s;
    QTest::newRow("folder") << u"folder"_s << u"不是普通文件"_s;
    QTest::newRow("missing") << u"missing"_s << u"文件不存在"_s;
}

void TestDatabaseCheck::findings() {
    QFETCH(QString, file);
    QFETCH(QString, found);
    test::TempHome home;
    const QString path = home.file(u"orlu4.mdb"_s);
    if (file == u"sound"_s)
        QVERIFY(createDatabaseFile(path, SchemaKind::Main));
    else if (file == u"junk"_s)
        home.writeFile(u"orlu4.mdb"_s,
                       QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4096, 'x'));
    else if (file == u"empty"_s)
        home.writeFile(u"orlu4.mdb"_s, {});
    else if (file == u"fifo"_s)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (file == u"folder"_s)
        QVERIFY(QDir().mkdir(path));
    else if (file != u"missing"_s)
        mainDatabaseWithout(path, file);

    const QStringList findings = checkDatabaseFile(path, SchemaKind::Main, PageCheck::Integrity);
    if (found.isEmpty()) {
        QVERIFY2(findings.isEmpty(), qPrintable(findings.join(u'\n')));
    } else {
        QVERIFY2(findings.join(u'\n').contains(found), qPrintable(findings.join(u'\n')));
        // The start refuses the file the same way, naming it.
        Database db;
        const MainDatabaseOpening opening = openMainDatabase(db, path);
        QVERIFY(!opening.opened);
        QVERIFY2(opening.failure.startsWith(path) && opening.failure.contains(found),
                 qPrintable(opening.failure));
        QVERIFY(!db.isOpen());
    }
}

void TestDatabaseCheck::damagedPagesAreFoundOnlyByThePageCheck() {
    test::TempHome home;
    const QString path = registerWithPages(home);
    QVERIFY(!path.isEmpty());
    test::damagePages(path);
    // The cheap check of every start lets the file through; the background check does not.
    QVERIFY(checkDatabaseFile(path, SchemaKind::Main, PageCheck::None).isEmpty());
    const QStringList quick = checkDatabaseFile(path, SchemaKind::Main, PageCheck::Quick);
    QVERIFY(!quick.isEmpty());
    QVERIFY(quick.first().startsWith(u"数据库已损坏"_s));
    QVERIFY(!checkDatabaseFile(path, SchemaKind::Main, PageCheck::Integrity).isEmpty());
}

void TestDatabaseCheck::startOpening_data() {
    QTest::addColumn<QString>("readOnly"); // "file" or "folder"
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only file") << u"file"_s << u"为只读"_s;
    QTest::newRow("read-only folder") << u"folder"_s << u"无法写入数据库日志"_s;
}

// Found out at start-up, not after a whole measurement: the register opens for looking up.
void TestDatabaseCheck::startOpening() {
    QFETCH(QString, readOnly);
    QFETCH(QString, reason);
    test::TempHome home;
    const QString path = home.file(u"orlu4.mdb"_s);
    QVERIFY(test::makeMainDatabase(path, u"main"_s, 2));
    const QString target = readOnly == u"file"_s ? path : home.path();
    const QFileDevice::Permissions before = QFile::permissions(target);
    QVERIFY(QFile::setPermissions(target, before & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                                     QFileDevice::WriteGroup | QFileDevice::WriteOther)));
    Database db;
    const MainDatabaseOpening opening = openMainDatabase(db, path);
    QVERIFY2(opening.opened, qPrintable(opening.failure));
    QVERIFY2(opening.readOnlyReason.contains(reason), qPrintable(opening.readOnlyReason));
    QVERIFY(db.isReadOnly());
    QSqlQuery q(db.handle());
    QVERIFY(q.exec(u"SELECT count(*) FROM KYCUST"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), 2);
    QVERIFY(!q.exec(u"INSERT INTO KYCUST (CUSTNO) VALUES ('X')"_s));
    db.close();
    QFile::setPermissions(target, before);
}

QTEST_GUILESS_MAIN(TestDatabaseCheck)
#include "test_databasecheck.moc"
