#include "cli/matchcommand.h"
#include "courses/suppliedcourses.h"
#include "records/database.h"
#include "records/schema.h"
#include "support/temphome.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

struct Run {
    int status;
    QString out;
    QString err;
};

Run run(int (*command)(const QStringList &, QTextStream &, QTextStream &), const QStringList &args) {
    Run r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = command(args, out, err);
    out.flush();
    err.flush();
    return r;
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
};

void TestCommands::matchFindsTheSuppliedCourseOfAWeakLung() {
    test::TempHome home;
    QString error;
    QVERIFY2(buildSuppliedCourses(home.file(u"orluMCn.mdb"_s), &error), qPrintable(error));
    const Run weak =
        run(runMatchCommand, QStringList{u"--courses"_s, home.file(u"orluMCn.mdb"_s)} + readings(40, 8));
    QCOMPARE(weak.status, 0);
    QVERIFY2(weak.out.split(u'\n').contains(u"肺经虚证调理"_s), qPrintable(weak.out));
    const Run balanced =
        run(runMatchCommand, QStringList{u"--courses"_s, home.file(u"orluMCn.mdb"_s)} + readings(40));
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
    const Run r = run(runMatchCommand, args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

void TestCommands::generateRegisterAddsRowsInOneGo() {
    test::TempHome home;
    const Run r = run(runGenerateRegisterCommand,
                      {u"--home"_s, home.path(), u"--subjects"_s, u"30"_s, u"--measurements"_s, u"120"_s});
    QCOMPARE(r.status, 0);
    Database db;
    QVERIFY(db.open(home.file(u"orlu4.mdb"_s), Database::Access::ReadOnly));
    QSqlQuery q(db.handle());
    QVERIFY(q.exec(u"SELECT (SELECT count(*) FROM KYCUST), (SELECT count(*) FROM KYDATA)"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), 30);
    QCOMPARE(q.value(1).toInt(), 120);
    QCOMPARE(run(runGenerateRegisterCommand, {u"--subjects"_s}).status, 2);
    QCOMPARE(run(runGenerateRegisterCommand, {u"--subjects"_s, u"many"_s}).status, 2);
}

QTEST_GUILESS_MAIN(TestCommands)
#include "test_commands.moc"
