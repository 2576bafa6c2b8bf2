// The device link through the kernel's USB stack: the probe is a USB gadget (orlu-probe-gadget)
// on the dummy host controller, and the program's own hidraw layer, the start-up window, a
// measuring run, orlu and orlu-cli talk to it through usbcore, usbhid and hidraw in real time.
// Runs as root in the guest of scripts/test-usb-probe, never under ctest.
#include "core/channels.h"
#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "device/devicestatus.h"
#include "device/hidrawlayer.h"
#include "device/hidrawsysfs.h"
#include "device/probelink.h"
#include "device/ui/startupstatuswindow.h"
#include "measure/measuringrun.h"
#include "measure/probelinkoperations.h"
#include "records/recordtransfer.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/scriptedprompter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <unistd.h>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

const QString Gadget = QStringLiteral(ORLU_GADGET);
const QString Cli = QStringLiteral(ORLU_CLI);
const QString Program = QStringLiteral(ORLU_BIN_DIR "/orlu");
constexpr int NobodyId = 65534;

// The median exchange time measured at the start, for messages about late answers.
double g_roundTripMs = -1;

QString timing() {
    return u" (round trip through the kernel: median %1 ms)"_s.arg(g_roundTripMs, 0, 'f', 2);
}

// The hidraw nodes the kernel made for devices on the host side of one dummy controller.
QStringList hidrawNodesOf(const QString &udc) {
    const QString host = u"dummy_hcd."_s + udc.section(u'.', 1);
    QStringList nodes;
    for (const QFileInfo &f : QDir(u"/sys/class/hidraw"_s).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFileInfo(f.filePath() + u"/device"_s).canonicalFilePath().contains(u'/' + host + u'/'))
            nodes << u"/dev/"_s + f.fileName();
    }
    return nodes;
}

// One probe on the guest's USB bus for as long as it lives.
class GadgetProbe {
public:
    explicit GadgetProbe(const QStringList &options, const QString &udc = u"dummy_udc.0"_s)
        : m_udc(udc) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(Gadget,
                        options + QStringList{u"--udc"_s, udc, u"--name"_s, u"probe-"_s + udc, u"--log"_s,
                                              logFile(), u"--raw-log"_s, m_dir.filePath(u"raw"_s)});
        m_ok = m_process.waitForStarted() && expect("ready") && waitForNode(true);
    }
    ~GadgetProbe() {
        m_process.write("quit\n");
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        waitForNode(false);
    }

    bool ok() const { return m_ok; }
    bool unplug() { return say("unplug\n", "unplugged") && waitForNode(false); }
    bool plug() { return say("plug\n", "plugged") && waitForNode(true); }
    // Asks for an unplug without waiting (from inside a run).
    void unplugSoon() { m_process.write("unplug\n"); }
    QString node() const { return hidrawNodesOf(m_udc).value(0); }
    QStringList log() const { return lines(logFile()); }
    QStringList rawLog() const { return lines(m_dir.filePath(u"raw"_s)); }

private:
    QString logFile() const { return m_dir.filePath(u"commands"_s); }
    static QStringList lines(const QString &file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    bool say(const char *command, const char *answer) {
        m_process.write(command);
        return expect(answer);
    }
    bool expect(const char *answer) {
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
            if (m_process.canReadLine() || m_process.waitForReadyRead(100)) {
                while (m_process.canReadLine()) {
                    if (m_process.readLine().trimmed() == answer)
                        return true;
                }
            }
        }
        return false;
    }
    bool waitForNode(bool present) const {
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            if (hidrawNodesOf(m_udc).isEmpty() != present)
                return true;
            QTest::qWait(20);
        }
        return false;
    }

    QTemporaryDir m_dir;
    QString m_udc;
    QProcess m_process;
    bool m_ok = false;
};

// The program's device link on the hardware backend, with real time.
struct KernelLink {
    HidrawLayer hid;
    SystemClock clock;
    QtEventPump pump;
    ProbeLink link{hid, clock, pump};
    KernelLink() { link.registerDeviceChange(); }
    // Device changes come from the layer's watch on the bus; waits for `done`.
    bool waitFor(const std::function<bool()> &done, int ms = 10000) {
        return waitUntil(clock, pump, static_cast<quint32>(ms), done);
    }
};

struct Finished {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Finished runProgram(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                    int ms = 60000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Finished f;
    if (!p.waitForFinished(ms))
        p.kill();
    p.waitForFinished();
    f.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    f.out = p.readAllStandardOutput();
    f.err = p.readAllStandardError();
    return f;
}

QProcessEnvironment programEnvironment(const QString &home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"ORLU_PROBE"_s, u"hid"_s);
    env.insert(u"ORLU_HOME"_s, home + u"/orlu"_s); // made on the first start
    env.insert(u"HOME"_s, home);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    return env;
}

// Records the points the run finished, and can pull the probe after one of them.
struct PointWatch final : RunObserver {
    QList<int> done;
    std::function<void(int)> afterPoint;
    void pointDone(int channel, double) override {
        done << channel;
        if (afterPoint)
            afterPoint(channel);
    }
};

// A measuring run of the program on the device link through the kernel.
struct KernelRun : KernelLink {
    ProbeLinkOperations operations{link};
    test::ScriptedPrompter prompter;
    CurrentMeasurement measurement;
    MeasuringRun run{measurement, operations, prompter, clock, pump};
    PointWatch watch;
    KernelRun() { run.setObserver(&watch); }
};

} // namespace

class TestUsbProbe : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void programStartsWithTheExactCommandSequence();
    void startupWindowThroughTheKernel_data();
    void startupWindowThroughTheKernel();
    void reportLengths_data();
    void reportLengths();
    void usageCounterWrittenAndReadBack();
    void wholeRunArrivesAndIsStored();
    void pulledProbeStopsTheRunAndComesBack();
    void secondProbeWaitsUntilTheFirstLeaves();
    void cliProbeInfoAndRead();
    void probeAccessAsAUser();
};

void TestUsbProbe::initTestCase() {
    QVERIFY2(QFileInfo::exists(u"/sys/class/udc/dummy_udc.0"_s), "no dummy USB device controller");
    GadgetProbe probe({});
    QVERIFY(probe.ok());
    KernelLink k;
    QVERIFY2(k.link.probeHeld(), qPrintable(k.hid.lastError()));
    QList<double> ms;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer t;
        t.start();
        k.link.readCurrent();
        ms << t.nsecsElapsed() / 1e6;
        QVERIFY2(k.link.answerArrived(),
                 qPrintable(u"exchange %1 got no answer after %2 ms"_s.arg(i).arg(ms.last())));
    }
    std::sort(ms.begin(), ms.end());
    g_roundTripMs = (ms[99] + ms[100]) / 2;
    qInfo("round trip per command through the kernel: median %.2f ms of 200 (fastest %.2f, slowest %.2f)",
          g_roundTripMs, ms.first(), ms.last());
}

void TestUsbProbe::programStartsWithTheExactCommandSequence() {
    GadgetProbe probe({});
    QVERIFY(probe.ok());
    const auto startProgram = [&](QProcess &p, const QString &home,
                                  const std::function<bool(QByteArray &)> &done) {
        QProcessEnvironment env = programEnvironment(home);
        env.insert(u"QT_LOGGING_RULES"_s, u"orlu.startup.info=true"_s);
        p.setProcessEnvironment(env);
        p.start(Program, {});
        QByteArray err;
        QDeadlineTimer deadline(150000);
        while (!deadline.hasExpired() && p.state() != QProcess::NotRunning && !done(err)) {
            p.waitForReadyRead(200);
            err += p.readAllStandardError();
        }
        p.kill();
        p.waitForFinished();
        return err;
    };
    QTemporaryDir home;
    QProcess p;
    QElapsedTimer took;
    took.start();
    const QByteArray err =
        startProgram(p, home.path(), [](QByteArray &e) { return e.contains("main window ready"); });
    QVERIFY2(
        err.contains("main window ready"),
        qPrintable(QString::fromUtf8(err) + u"\nthe probe received: "_s + probe.log().join(u' ') + timing()));
    qInfo("orlu's main window ready after %.1f s", took.elapsed() / 1000.0);
    const QStringList expected{u"X000000"_s, u"R000000"_s, u"R010000"_s, u"R020000"_s, u"R030000"_s,
                               u"R040000"_s, u"R050000"_s, u"AFFFFFF"_s, u"A000000"_s, u"BFFFFFF"_s,
                               u"B000000"_s, u"IFFFFFF"_s, u"X000000"_s};
    QCOMPARE(probe.log(), expected);
}

void TestUsbProbe::startupWindowThroughTheKernel_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("hardware");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("commands");
    QTest::newRow("ready") << QStringList{u"--serial"_s, u"QX2607004217"_s, u"--hardware"_s,
                                          u"QX-HID Rev 2.10"_s}
                           << true << u"QX2607004217"_s << u"QX-HID Rev 2.10"_s << QString() << 13;
    // An answer later than 350 ms counts as none.
    QTest::newRow("late answer") << QStringList{u"--delay"_s, u"500"_s} << false << QString()
                                 << u"QX-HID Rev 2.10"_s << u"联机异常"_s << 1;
    QTest::newRow("no string 3") << QStringList{u"--no-string3"_s} << false << u"None!"_s
                                 << u"USB Status Error!"_s << u"USB界面异常"_s << 0;
}

void TestUsbProbe::startupWindowThroughTheKernel() {
    QFETCH(QStringList, options);
    QFETCH(bool, ready);
    QFETCH(int, commands);
    GadgetProbe probe(options);
    QVERIFY(probe.ok());
    KernelLink k;
    QVERIFY2(k.link.probeHeld(), qPrintable(k.hid.lastError()));
    DeviceStatus status;
    StartupStatusWindow window(k.link, k.clock, k.pump, status);
    window.show();
    QVERIFY(k.waitFor([&] { return window.hasRun() && !window.isRunning(); }, 30000));
    QVERIFY2(status.ready == ready,
             qPrintable(u"ready: %1, status: %2"_s.arg(status.ready).arg(status.statusMessage) + timing()));
    QFETCH(QString, serial);
    if (!serial.isEmpty())
        QCOMPARE(status.serialText, serial);
    QTEST(status.hardwareText, "hardware");
    QFETCH(QString, message);
    QVERIFY2(status.statusMessage.contains(message), qPrintable(status.statusMessage));
    QCOMPARE(probe.log().size(), commands);
}

void TestUsbProbe::reportLengths_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("8 data bytes") << 8;
    QTest::newRow("64 data bytes") << 64;
}

void TestUsbProbe::reportLengths() {
    QFETCH(int, length);
    GadgetProbe probe({u"--report-length"_s, QString::number(length)});
    QVERIFY(probe.ok());
    KernelLink k;
    QVERIFY2(k.link.probeHeld(), qPrintable(k.hid.lastError()));
    QCOMPARE(k.hid.capabilities().inputReportLength, length + 1);
    QCOMPARE(k.hid.capabilities().outputReportLength, length + 1);
    QVERIFY2(k.link.resetProbe(), qPrintable(timing()));
    // What the probe received: the command and blanks to the report's length, no report id.
    const QByteArray sent = QByteArray("X000000").leftJustified(length, ' ');
    QCOMPARE(probe.rawLog().value(0).toLatin1(), sent.toHex());
    QCOMPARE(k.link.readRegister(1), u"26"_s);
    QVERIFY(k.link.answerArrived());
    QCOMPARE(k.link.answer().size(), length);
}

void TestUsbProbe::usageCounterWrittenAndReadBack() {
    GadgetProbe probe({u"--counter"_s, u"0001FF"_s});
    QVERIFY(probe.ok());
    KernelLink k;
    QVERIFY2(k.link.probeHeld(), qPrintable(k.hid.lastError()));
    QCOMPARE(k.link.usageCounter(true), 512);
    QCOMPARE(k.link.usageCounter(false), 512);
    const QStringList log = probe.log();
    QCOMPARE(log.mid(3, 3), (QStringList{u"W060000"_s, u"W070200"_s, u"W080000"_s}));
}

void TestUsbProbe::wholeRunArrivesAndIsStored() {
    GadgetProbe probe({u"--operator"_s, u"measuring"_s});
    QVERIFY(probe.ok());
    KernelRun k;
    QVERIFY2(k.link.probeHeld(), qPrintable(k.hid.lastError()));
    CurrentMeasurement &measurement = k.measurement;
    QElapsedTimer took;
    took.start();
    QVERIFY(k.run.start(RunParameters{false, 4000, 1.0}));
    qInfo("24 points through the kernel in %.1f s", took.elapsed() / 1000.0);
    QVERIFY2(measurement.complete(), qPrintable(u"points done: %1"_s.arg(k.watch.done.size()) + timing()));
    QCOMPARE(k.watch.done.size(), ChannelCount);
    QVERIFY(k.prompter.texts().isEmpty());
    QCOMPARE(probe.log().count(u"S192C00"_s), ChannelCount - 1);
    QCOMPARE(probe.log().last(), u"X000000"_s);

    QTemporaryDir folder;
    const QString file = folder.filePath(u"orlu4.mdb"_s);
    QVERIFY(createDatabaseFile(file, SchemaKind::Main));
    Database db;
    QVERIFY(db.open(file, Database::Access::Shared));
    MeasurementRepository repository(db.handle());
    Subject subject;
    subject.number = u"USB1"_s;
    subject.name = u"总线"_s;
    QString error;
    const qint64 key = storeCurrentMeasurement(repository, measurement, subject, &error);
    QVERIFY2(key > 0, qPrintable(error));
    const std::optional<MeasurementRecord> row = repository.fetch(key);
    QVERIFY(row);
    for (int c = 1; c <= ChannelCount; ++c)
        QCOMPARE(row->values[size_t(c - 1)], measurement.value(c));
}

void TestUsbProbe::pulledProbeStopsTheRunAndComesBack() {
    GadgetProbe probe({u"--operator"_s, u"measuring"_s, u"--hardware"_s, u"QX-HID Rev 2.10"_s});
    QVERIFY(probe.ok());
    KernelRun k;
    QVERIFY2(k.link.probeHeld(), qPrintable(k.hid.lastError()));
    k.watch.afterPoint = [&](int channel) {
        if (channel == 3)
            probe.unplugSoon();
    };
    k.run.start(RunParameters{false, 4000, 1.0});
    QVERIFY(!k.run.isRunning());
    QCOMPARE(k.prompter.texts(), QStringList{ProbeWatch::lostMessage()});
    // The points done stay; nothing of the point under way is kept.
    QCOMPARE(k.watch.done, (QList<int>{1, 2, 3}));
    for (int c = 1; c <= ChannelCount; ++c)
        QCOMPARE(k.measurement.value(c) != 0.0, c <= 3);
    QVERIFY(k.waitFor([&] { return !k.link.probeHeld(); }));

    QVERIFY(probe.plug());
    QVERIFY2(k.waitFor([&] { return k.link.probeHeld(); }), qPrintable(k.hid.lastError()));
    QVERIFY2(k.link.resetProbe(), qPrintable(timing()));
    QCOMPARE(k.link.hardwareVersion(), u"QX-HID Rev 2.10"_s);
}

void TestUsbProbe::secondProbeWaitsUntilTheFirstLeaves() {
    GadgetProbe first({u"--hardware"_s, u"first"_s});
    QVERIFY(first.ok());
    KernelLink k;
    QCOMPARE(k.link.hardwareVersion(), u"first"_s);
    GadgetProbe second({u"--hardware"_s, u"second"_s}, u"dummy_udc.1"_s);
    QVERIFY(second.ok());
    // Device changes come and go; the held probe stays.
    waitFor(k.clock, k.pump, 2500);
    QCOMPARE(k.link.hardwareVersion(), u"first"_s);
    QVERIFY(first.unplug());
    QVERIFY(k.waitFor([&] { return k.link.hardwareVersion() == u"second"_s; }));
    QVERIFY2(k.link.resetProbe(), qPrintable(timing()));
    QCOMPARE(second.log().last(), u"X000000"_s);
}

void TestUsbProbe::cliProbeInfoAndRead() {
    QTemporaryDir home;
    const QProcessEnvironment env = programEnvironment(home.path());
    Finished none = runProgram(Cli, {u"probe"_s, u"info"_s}, env);
    QCOMPARE(none.status, 1);
    QVERIFY2(none.err.contains("no probe on the USB bus"), none.err.constData());

    GadgetProbe probe({u"--serial"_s, u"QX2607004217"_s, u"--hardware"_s, u"QX-HID Rev 2.10"_s,
                       u"--counter"_s, u"000102"_s});
    QVERIFY(probe.ok());
    Finished info = runProgram(Cli, {u"probe"_s, u"info"_s, u"--json"_s}, env);
    QVERIFY2(info.status == 0, info.err.constData());
    const QJsonObject o = QJsonDocument::fromJson(info.out).object();
    QCOMPARE(o.value(u"serial"_s).toString(), u"QX2607004217"_s);
    QCOMPARE(o.value(u"hardware"_s).toString(), u"QX-HID Rev 2.10"_s);
    QCOMPARE(o.value(u"usageCounter"_s).toInt(), 258);
    QCOMPARE(o.value(u"inputReportLength"_s).toInt(), 65);
    QCOMPARE(o.value(u"device"_s).toString(), probe.node());
    QVERIFY(o.value(u"sysfs"_s).toString().startsWith(u"/sys/devices/platform/dummy_hcd.0/usb"_s));
    QVERIFY(QFileInfo::exists(o.value(u"usbNode"_s).toString()));

    Finished read = runProgram(Cli, {u"probe"_s, u"read"_s, u"--count"_s, u"5"_s}, env);
    QVERIFY2(read.status == 0, qPrintable(QString::fromUtf8(read.err) + timing()));
    QCOMPARE(read.out.trimmed().split('\n').size(), 6);

    // The program holds it: the command keeps its hands off.
    KernelLink k;
    QVERIFY(k.link.probeHeld());
    Finished held = runProgram(Cli, {u"probe"_s, u"info"_s}, env);
    QCOMPARE(held.status, 1);
    QVERIFY2(held.err.contains("held by another program"), held.err.constData());
}

void TestUsbProbe::probeAccessAsAUser() {
    GadgetProbe probe({u"--hardware"_s, u"QX-HID Rev 2.10"_s});
    QVERIFY(probe.ok());
    const QString usbDir = hidraw::usbDeviceDirectory(probe.node());
    const std::optional<hidraw::UsbAddress> address = hidraw::usbAddress(usbDir);
    QVERIFY(address);
    // The rule names the probe as the kernel shows it.
    QFile rules(QStringLiteral(ORLU_RULES));
    QVERIFY(rules.open(QIODevice::ReadOnly));
    const QByteArray ruleText = rules.readAll();
    for (const char *attribute : {"idVendor", "idProduct"}) {
        QFile f(usbDir + u'/' + QLatin1StringView(attribute));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray match = QByteArray("ATTRS{") + attribute + "}==\"" + f.readAll().trimmed() + '"';
        QVERIFY2(ruleText.contains(match), match.constData());
    }

    QTemporaryDir home;
    QVERIFY(QFile::setPermissions(home.path(), QFile::Permissions(0x7777)));
    const QProcessEnvironment env = programEnvironment(home.path());
    const QStringList asNobody{u"--reuid"_s,        QString::number(NobodyId),
                               u"--regid"_s,        QString::number(NobodyId),
                               u"--clear-groups"_s, Cli,
                               u"probe"_s,          u"info"_s};
    // Without the rule's grant the nodes are root's alone: refused, saying why.
    Finished refused = runProgram(u"setpriv"_s, asNobody, env);
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("Permission denied"), refused.err.constData());
    // What the rule's uaccess tag has the login manager do for the user at the seat: read and
    // write access to the hidraw node and the USB node.
    for (const QString &node : {probe.node(), address->node})
        QVERIFY(::chown(node.toLocal8Bit().constData(), NobodyId, NobodyId) == 0);
    Finished granted = runProgram(u"setpriv"_s, asNobody, env);
    QVERIFY2(granted.status == 0, granted.err.constData());
    QVERIFY2(granted.out.contains("QX-HID Rev 2.10"), granted.out.constData());
}

QTEST_MAIN(TestUsbProbe)
#include "test_usbprobe.moc"
