#include "app/appcontext.h"
#include "app/startup.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "storage/databasefiles.h"
#include "support/recordinglaunchport.h"
#include "support/registerfiles.h"
#include "support/scriptedprompter.h"
#include "support/temphome.h"
#include "support/virtualtime.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void prepare_data();
    void prepare();
};

void TestStartup::prepare_data() {
    QTest::addColumn<QString>("folder"); // what the program folder holds before the start
    QTest::addColumn<bool>("mustClose");
    QTest::addColumn<QStringList>("messages"); // how each message begins
    QTest::addColumn<QString>("marker");       // of the register left open; "" a new one
    const QString startError = u"ORLU 数据库启动错误！"_s;
    QTest::newRow("fresh folder") << u"installed"_s << false << QStringList() << QString();
    QTest::newRow("older register replaced by its update")
        << u"update"_s << false << QStringList() << u"update"_s;
    QTest::newRow("register that is not a database")
        << u"junk"_s << true << QStringList{startError} << QString();
    QTest::newRow("not installed") << u"empty"_s << true
                                   << QStringList{u"您没有完全安装 O.R.L.U.，数据库不存在！"_s, startError}
                                   << QString();
}

// Start-up decides what the operator is told and whether the program can go on; the register
// it leaves open is the one the folder's files say.
void TestStartup::prepare() {
    QFETCH(QString, folder);
    QFETCH(bool, mustClose);
    QFETCH(QStringList, messages);
    QFETCH(QString, marker);

    test::TempHome home;
    if (folder != u"empty"_s) {
        QVERIFY(createDatabaseFile(home.file(dbfile::Template), SchemaKind::Main));
        QVERIFY(createDatabaseFile(home.file(dbfile::ReferenceTexts), SchemaKind::ReferenceTexts));
    }
    if (folder == u"update"_s) {
        QVERIFY(test::makeMainDatabase(home.file(dbfile::Main), u"older"_s, 1));
        QVERIFY(test::makeMainDatabase(home.file(dbfile::Update), u"update"_s));
    } else if (folder == u"junk"_s) {
        home.writeFile(dbfile::Main, QByteArray(4096, '\x7f'));
    }

    test::VirtualTime time;
    test::ScriptedPrompter prompter;
    test::RecordingLaunchPort launcher;
    SimulatedHidLayer hid(time, SimulatedHidLayer::Timing::Stepped);
    ProbeLink probe(hid, time, time);
    AppContext app(ProgramFolder(home.path()), time, time, prompter, launcher, probe);
    app.measurement.recordKey = 7;

    const Startup::Outcome outcome = Startup::prepare(app);

    QCOMPARE(outcome.mustClose, mustClose);
    QStringList told;
    for (const Startup::Message &m : outcome.messages)
        told << m.text;
    QCOMPARE(told.size(), messages.size());
    for (qsizetype i = 0; i < told.size(); ++i)
        QVERIFY2(told[i].startsWith(messages[i]), qPrintable(told[i]));
    QVERIFY(prompter.asked().isEmpty());
    QCOMPARE(app.mainDb.isOpen(), !mustClose);
    if (!mustClose) {
        QSqlQuery q(app.mainDb.handle());
        QVERIFY(q.exec(u"SELECT ProName FROM KYPRO WHERE ProNo = 'M'"_s));
        QCOMPARE(q.next() ? q.value(0).toString() : QString(), marker);
        QVERIFY(app.textDb.isOpen());
    }
    // The settings are there (written new) whatever the register did; the state starts afresh.
    QVERIFY(QFileInfo::exists(app.settingsPath()));
    QCOMPARE(app.measurement.recordKey, 0);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
