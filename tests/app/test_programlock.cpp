#include "app/instancechannel.h"
#include "app/singleinstance.h"
#include "app/ui/messagedialog.h"
#include "platform/programlock.h"
#include "support/temphome.h"

#include <QSignalSpy>
#include <QThread>
#include <QWidget>
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
    void secondStartIsToldAndBringsTheFirstForward();
};

void TestProgramLock::secondProgramOnTheFolderIsRefused() {
    test::TempHome home;
    ProgramLock first(home.path());
    QCOMPARE(first.acquire(), ProgramLock::Outcome::Acquired);
    QCOMPARE(ProgramLock(home.path()).acquire(), ProgramLock::Outcome::HeldByOther);
    first.release();
    ProgramLock again(home.path());
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
    ProgramLock lock(home.path());
    QCOMPARE(lock.acquire(), ProgramLock::Outcome::Acquired);
}

void TestProgramLock::missingFolderHasNothingToLock() {
    test::TempHome home;
    ProgramLock lock(home.file(u"nowhere/"_s));
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

// What the program's start does: the second start ends, says why, and the first
// program's minimised window comes back; once the first has ended, a start goes on.
void TestProgramLock::secondStartIsToldAndBringsTheFirstForward() {
    test::TempHome home;
    const ProgramFolder folder(home.path());
    QStringList told;
    setMessageBoxHook([&told](MessageType, const QString &text) {
        told << text;
        return true;
    });
    {
        SingleInstance first(folder);
        QVERIFY(first.claim());
        QWidget window;
        window.showMinimized();
        first.raiseOnRequest(window);
        bool secondGoesOn = true;
        std::unique_ptr<QThread> second(
            QThread::create([&] { secondGoesOn = SingleInstance(folder).claim(); }));
        second->start();
        QTRY_VERIFY(second->isFinished());
        QVERIFY(!secondGoesOn);
        QCOMPARE(told, QStringList{u"O.R.L.U. 已经在执行中，请使用已开启的窗口。"_s});
        QTRY_VERIFY(!(window.windowState() & Qt::WindowMinimized));
        QVERIFY(window.isVisible());
    }
    told.clear();
    SingleInstance later(folder);
    QVERIFY(later.claim());
    QVERIFY(told.isEmpty());
    setMessageBoxHook({});
}

QTEST_MAIN(TestProgramLock)
#include "test_programlock.moc"
