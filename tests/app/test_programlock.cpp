#include "app/instancechannel.h"
#include "core/programlock.h"
#include "support/temphome.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestProgramLock : public QObject {
    Q_OBJECT
private slots:
    void secondProgramOnTheFolderIsRefused();
    void lockOfACrashedRunIsTakenOver();
    void missingFolderHasNothingToLock();
    void secondStartRaisesTheRunningWindow();
};

void TestProgramLock::secondProgramOnTheFolderIsRefused() {
    test::TempHome home;
    ProgramLock first(ProgramFolder(home.path()));
    QCOMPARE(first.acquire(), ProgramLock::Outcome::Acquired);
    QCOMPARE(ProgramLock(ProgramFolder(home.path())).acquire(), ProgramLock::Outcome::HeldByOther);
    first.release();
    ProgramLock again(ProgramFolder(home.path()));
    QCOMPARE(again.acquire(), ProgramLock::Outcome::Acquired);
}

void TestProgramLock::lockOfACrashedRunIsTakenOver() {
    test::TempHome home;
    // What a killed run leaves: its process number (long gone), host and program name.
    QProcess gone;
    gone.start(u"true"_s);
    QVERIFY(gone.waitForFinished());
    const qint64 pid = gone.processId() > 0 ? gone.processId() : 999999;
    home.writeFile(ProgramLock::lockFileName(),
                   QByteArray::number(pid) + "\norlu\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    ProgramLock lock(ProgramFolder(home.path()));
    QCOMPARE(lock.acquire(), ProgramLock::Outcome::Acquired);
}

void TestProgramLock::missingFolderHasNothingToLock() {
    test::TempHome home;
    ProgramLock lock(ProgramFolder(home.file(u"nowhere/"_s)));
    QCOMPARE(lock.acquire(), ProgramLock::Outcome::Unavailable);
}

void TestProgramLock::secondStartRaisesTheRunningWindow() {
    test::TempHome home;
    const ProgramFolder folder(home.path());
    InstanceChannel running(folder);
    QVERIFY(running.listen());
    QSignalSpy raised(&running, &InstanceChannel::raiseRequested);
    bool answered = false;
    std::unique_ptr<QThread> second(
        QThread::create([&] { answered = InstanceChannel::askToRaise(folder, 3000); }));
    second->start();
    QTRY_COMPARE(raised.size(), 1);
    QTRY_VERIFY(second->isFinished());
    QVERIFY(answered);
    // Another folder is another program.
    QVERIFY(InstanceChannel::serverName(folder) !=
            InstanceChannel::serverName(ProgramFolder(home.file(u"x/"_s))));
}

QTEST_GUILESS_MAIN(TestProgramLock)
#include "test_programlock.moc"
