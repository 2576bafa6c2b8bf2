#include "device/descriptordevicethread.h"

#include <QElapsedTimer>
#include <QtTest>

#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

struct Received {
    int reportId;
    QByteArray data;
};

// A socket pair plays the device: its datagrams keep report boundaries as a
// hidraw node does. The far end is the probe's side.
struct PairRig {
    QObject context;
    QList<Received> received;
    int probeEnd = -1;
    std::unique_ptr<DescriptorDeviceThread> thread;

    explicit PairRig(hidraw::ReportLayout layout = {65, 65, false}) {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0)
            qFatal("no socket pair");
        probeEnd = fds[1];
        thread = std::make_unique<DescriptorDeviceThread>(
            &context,
            [this](int id, const QByteArray &data) {
                received.append({id, data});
            },
            fds[0], layout);
        thread->start();
    }
    ~PairRig() {
        thread.reset();
        if (probeEnd >= 0)
            ::close(probeEnd);
    }
    void send(const QByteArray &report) const {
        QCOMPARE(::write(probeEnd, report.constData(), static_cast<size_t>(report.size())), report.size());
    }
    QByteArray receive() const {
        QByteArray buffer(128, '\0');
        for (int i = 0; i < 200; ++i) {
            const ssize_t n = ::read(probeEnd, buffer.data(), static_cast<size_t>(buffer.size()));
            if (n >= 0)
                return buffer.left(static_cast<qsizetype>(n));
            QTest::qWait(5);
        }
        return {};
    }
    void hangUp() {
        ::close(probeEnd);
        probeEnd = -1;
    }
};

} // namespace

class TestDescriptorDeviceThread : public QObject {
    Q_OBJECT
private slots:
    void reportsAreHandedOver_data();
    void reportsAreHandedOver();
    void emptyReportIsNotHandedOver();
    void writeWhileAReadWaits();
    void reportsQueuedBeforeAWriteAreDropped();
    void hangUpWhileWaiting();
};

void TestDescriptorDeviceThread::reportsAreHandedOver_data() {
    QTest::addColumn<bool>("numbered");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<int>("reportId");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("unnumbered: id 0 put in front")
        << false << QByteArray("D0000123") << 0 << QByteArray("D0000123");
    QTest::newRow("numbered: id from the wire") << true
                                                << QByteArray("\x05"
                                                              "abc")
                                                << 5 << QByteArray("abc");
    // Shorter than the input report length: handed over as it came.
    QTest::newRow("short read") << false << QByteArray("X0") << 0 << QByteArray("X0");
    QTest::newRow("id alone") << true << QByteArray(1, '\x02') << 2 << QByteArray();
}

void TestDescriptorDeviceThread::reportsAreHandedOver() {
    QFETCH(bool, numbered);
    QFETCH(QByteArray, wire);
    QFETCH(int, reportId);
    QFETCH(QByteArray, data);
    PairRig rig({65, 65, numbered});
    rig.send(wire);
    QTRY_COMPARE(rig.received.size(), 1);
    QCOMPARE(rig.received.first().reportId, reportId);
    QCOMPARE(rig.received.first().data, data);
    QVERIFY(!rig.thread->lost());
}

void TestDescriptorDeviceThread::emptyReportIsNotHandedOver() {
    PairRig rig;
    rig.send(QByteArray());
    rig.send(QByteArray("D0000001"));
    QTRY_COMPARE(rig.received.size(), 1);
    QCOMPARE(rig.received.first().data, QByteArray("D0000001"));
    QTest::qWait(20);
    QCOMPARE(rig.received.size(), 1);
    QVERIFY(!rig.thread->lost());
}

void TestDescriptorDeviceThread::writeWhileAReadWaits() {
    PairRig rig;
    QTest::qWait(20); // the thread sleeps in its wait for input by now
    QByteArray report(65, ' ');
    report[0] = '\0';
    report.replace(1, 7, "D000000");
    QElapsedTimer timer;
    timer.start();
    QVERIFY(rig.thread->write(report));
    // Nothing to time out: done as soon as the thread is woken, not after a read's time limit.
    QVERIFY2(timer.elapsed() < 50, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(rig.receive(), report);
}

void TestDescriptorDeviceThread::reportsQueuedBeforeAWriteAreDropped() {
    PairRig rig;
    // Two late answers: one handed over but not yet handled, one still queued.
    rig.send(QByteArray("D0000AAA"));
    rig.send(QByteArray("D0000BBB"));
    QTest::qSleep(20);
    QVERIFY(rig.thread->write(QByteArray("\0D000000", 8)));
    rig.send(QByteArray("D0000CCC"));
    QTRY_COMPARE(rig.received.size(), 1);
    QCOMPARE(rig.received.first().data, QByteArray("D0000CCC"));
}

void TestDescriptorDeviceThread::hangUpWhileWaiting() {
    PairRig rig;
    QTest::qWait(20);
    rig.hangUp();
    QTRY_VERIFY(rig.thread->lost());
    QVERIFY(!rig.thread->write(QByteArray("\0X000000", 8)));
    QVERIFY(rig.received.isEmpty());
    QElapsedTimer timer;
    timer.start();
    rig.thread.reset();
    QVERIFY(timer.elapsed() < 100);
}

} // namespace orlu

QTEST_GUILESS_MAIN(orlu::TestDescriptorDeviceThread)
#include "test_descriptordevicethread.moc"
