// Starts the program itself the way the desktop menu does on a new seat: a fresh home,
// no ORLU_HOME, the simulated probe. It has to make its folder and come up.
#include "storage/databasefiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestFirstStart : public QObject {
    Q_OBJECT
private slots:
    void startsToTheMainWindowFromAFreshHome();
    void leavesABrokenFolderToTheInstallationCheck();
};

namespace {

const QString Program = QStringLiteral(ORLU_PROGRAM);

QProcessEnvironment freshSeat(const QString &home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"ORLU_HOME", "XDG_DATA_HOME", "ORLU_DATABASE", "ORLU_PROBE"})
        env.remove(QString::fromLatin1(name));
    env.insert(u"HOME"_s, home);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"QT_LOGGING_RULES"_s, u"orlu.startup.info=true"_s);
    return env;
}

// Runs the program until it says its main window is ready, or for `ms`; then ends it.
QByteArray runUntilReady(QProcess &p, int ms) {
    QByteArray err;
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired() && p.state() != QProcess::NotRunning &&
           !err.contains("main window ready")) {
        p.waitForReadyRead(200);
        err += p.readAllStandardError();
    }
    p.kill();
    p.waitForFinished();
    return err + p.readAllStandardError();
}

} // namespace

void TestFirstStart::startsToTheMainWindowFromAFreshHome() {
    QTemporaryDir home;
    QProcess p;
    p.setProcessEnvironment(freshSeat(home.path()));
    p.start(Program, {u"--simulate-probe"_s});
    const QByteArray err = runUntilReady(p, 60000);
    QVERIFY2(err.contains("main window ready"), err.constData());
    const QString folder = home.path() + u"/.local/share/quorix/orlu/"_s;
    for (const QString &file : {dbfile::Template, dbfile::ReferenceTexts, dbfile::SuppliedCourses,
                                dbfile::Main, dbfile::Settings, u"Data/PLh1.bmp"_s})
        QVERIFY2(QFileInfo::exists(folder + file), qPrintable(file));
    QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
}

void TestFirstStart::leavesABrokenFolderToTheInstallationCheck() {
    // A folder that exists without its files is a broken installation, not a first start.
    QTemporaryDir home;
    const QString folder = home.path() + u"/.local/share/quorix/orlu/"_s;
    QVERIFY(QDir().mkpath(folder));
    QProcess p;
    p.setProcessEnvironment(freshSeat(home.path()));
    p.start(Program, {u"--simulate-probe"_s});
    const QByteArray err = runUntilReady(p, 5000);
    QVERIFY(!err.contains("main window ready"));
    QVERIFY(!QFileInfo::exists(folder + dbfile::Template));
}

QTEST_GUILESS_MAIN(TestFirstStart)
#include "test_firststart.moc"
