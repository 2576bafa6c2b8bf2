// The device link through the kernel's USB stack: the probe is a USB gadget (orlu-probe-gadget)
// on the dummy host controller, and the program's hidraw layer, start-up window, measuring run,
// orlu and orlu-cli talk to it through usbcore, usbhid and hidraw in real time. Runs as root in
// the guest of scripts/test-usb-probe, never under ctest.
#include "core/channels.h"
#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "device/devicestatus.h"
#include "device/hidrawlayer.h"
#include "device/hidrawsysfs.h"
#include "device/probelink.h"
#include "device/simulatedprobe.h"
#include "device/ui/startupstatuswindow.h"
#include "measure/measuringrun.h"
#include "measure/probelinkoperations.h"
#include "records/recordtransfer.h"
#include "recordfixture.h"
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

const QString Cli = QStringLiteral(ORLU_CLI);
constexpr int NobodyId = 65534;
const SimulatedProbeOptions Firmware; // the gadget's serial and hardware text unless told otherwise
const QStringList StartupCommands =
    u"X000000 R000000 R010000 R020000 R030000 R040000 R050000 AFFFFFF A000000 BFFFFFF B000000 IFFFFFF X000000"_s
        .split(u' ');

// The median exchange time measured at the start, for messages about late answers.
double g_roundTripMs = -1;

QByteArray withRoundTrip(const QByteArray &message = {}) {
    return message +
           u" (round trip through the kernel: median %1 ms)"_s.arg(g_roundTripMs, 0, 'f', 2).toUtf8();
}

// The hidraw nodes the kernel made for devices on the host side of one dummy controller.
QStringList hidrawNodesOf(const QString &udc) {
    const QString host = u"/dummy_hcd."_s + udc.section(u'.', 1) + u'/';
    QStringList nodes;
    for (const QFileInfo &f : QDir(u"/sys/class/hidraw"_s).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFileInfo(f.filePath() + u"/device"_s).canonicalFilePath().contains(host))
            nodes << u"/dev/"_s + f.fileName();
    }
    return nodes;
}

// One probe on the guest's USB bus for as long as it lives.
class GadgetProbe {
public:
    explicit GadgetProbe(const QStringList &options = {}, const QString &udc = u"dummy_udc.0"_s)
        : m_udc(udc) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(ORLU_GADGET),
                        options + QStringList{u"--udc"_s, udc, u"--log"_s, m_log});
        m_ok = m_process.waitForStarted() && expect("ready") && waitForNode(true);
    }
    ~GadgetProbe() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        waitForNode(false);
    }

    bool ok() const { return m_ok; }
    // Asks for an unplug without waiting (from inside a run).
    void unplugSoon() { m_process.write("unplug\n"); }
    bool unplug() { return m_process.write("unplug\n") > 0 && expect("unplugged") && waitForNode(false); }
    bool plug() { return m_process.write("plug\n") > 0 && expect("plugged") && waitForNode(true); }
    QString node() const { return hidrawNodesOf(m_udc).value(0); }
    // The output reports received (data bytes), and the commands in them.
    QByteArrayList reports() const {
        QFile f(m_log);
        QByteArrayList reports = f.open(QIODevice::ReadOnly) ? f.readAll().split('\n') : QByteArrayList();
        reports.removeAll(QByteArray());
        for (QByteArray &r : reports)
            r = QByteArray::fromHex(r);
        return reports;
    }
    QStringList log() const {
        QStringList commands;
        for (const QByteArray &r : reports())
            commands << QString::fromLatin1(commandOfReport(r));
        return commands;
    }

private:
    bool expect(const char *answer) {
        do {
            while (m_process.canReadLine()) {
                if (m_process.readLine().trimmed() == answer)
                    return true;
            }
        } while (m_process.waitForReadyRead(20000));
        return false;
    }
    bool waitForNode(bool present) const {
        QDeadlineTimer deadline(20000);
        while (hidrawNodesOf(m_udc).isEmpty() == present && !deadline.hasExpired())
            QTest::qWait(20);
        return hidrawNodesOf(m_udc).isEmpty() != present;
    }

    QTemporaryDir m_dir;
    const QString m_log = m_dir.filePath(u"reports"_s);
    const QString m_udc;
    QProcess m_process;
    bool m_ok = false;
};

// The program's device link on the hardware backend, with real time, and a measuring run on it
// that records the points it finished and can pull the probe after one of them.
struct KernelLink : RunObserver {
    HidrawLayer hid;
    SystemClock clock;
    QtEventPump pump;
    ProbeLink link{hid, clock, pump};
    ProbeLinkOperations operations{link};
    test::ScriptedPrompter prompter;
    CurrentMeasurement measurement;
    MeasuringRun run{measurement, operations, prompter, clock, pump};
    QList<int> pointsDone;
    std::function<void(int)> afterPoint;

    KernelLink() {
        link.registerDeviceChange();
        run.setObserver(this);
    }
    void pointDone(int channel, double) override {
        pointsDone << channel;
        if (afterPoint)
            afterPoint(channel);
    }
    // Device changes come from the layer's watch on the bus.
    bool waitFor(const std::function<bool()> &done, int ms = 10000) {
        return waitUntil(clock, pump, quint32(ms), done);
    }
};

// A probe on the bus and the link that took it.
struct Bench : GadgetProbe, KernelLink {
    using GadgetProbe::GadgetProbe;
    bool held() const { return ok() && link.probeHeld(); }
    QByteArray whyNot() const { return ok() ? hid.lastError().toUtf8() : "the gadget did not come up"; }
};

struct Finished {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

QProcessEnvironment programEnvironment(const QString &home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"ORLU_PROBE"_s, u"hid"_s);
    env.insert(u"ORLU_HOME"_s, home + u"/orlu"_s);
    env.insert(u"HOME"_s, home);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    return env;
}

Finished runProgram(const QString &program, const QStringList &args, const QProcessEnvironment &env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        p.kill();
    p.waitForFinished();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

} // namespace

class TestUsbProbe : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void programStartsWithTheExactCommandSequence();
    void startupWindowThroughTheKernel_data();
    void startupWindowThroughTheKernel();
    void usageCounterWrittenAndReadBack();
    void wholeRunArrivesAndIsStored();
    void pulledProbeStopsTheRunAndComesBack();
    void secondProbeWaitsUntilTheFirstLeaves();
    void cliProbeInfoAndRead();
    void probeAccessAsAUser();
};

void TestUsbProbe::initTestCase() {
    QVERIFY2(QFileInfo::exists(u"/sys/class/udc/dummy_udc.0"_s), "no dummy USB device controller");
    Bench bench;
    QVERIFY2(bench.held(), bench.whyNot());
    QList<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < 200; ++i) {
        t.start();
        bench.link.readCurrent();
        ms << t.nsecsElapsed() / 1e6;
        QVERIFY2(bench.link.answerArrived(),
                 qPrintable(u"exchange %1 got no answer after %2 ms"_s.arg(i).arg(ms.last())));
    }
    std::sort(ms.begin(), ms.end());
    g_roundTripMs = (ms[99] + ms[100]) / 2;
    qInfo("round trip per command through the kernel: median %.2f ms of 200 (fastest %.2f, slowest %.2f)",
          g_roundTripMs, ms.first(), ms.last());
}

void TestUsbProbe::programStartsWithTheExactCommandSequence() {
    GadgetProbe probe;
    QVERIFY(probe.ok());
    QTemporaryDir home;
    QProcessEnvironment env = programEnvironment(home.path());
    env.insert(u"QT_LOGGING_RULES"_s, u"orlu.startup.info=true"_s);
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer took;
    took.start();
    p.start(QStringLiteral(ORLU_BIN_DIR "/orlu"), {});
    QByteArray err;
    while (!err.contains("main window ready") && p.state() != QProcess::NotRunning &&
           took.elapsed() < 150000) {
        p.waitForReadyRead(200);
        err += p.readAllStandardError();
    }
    p.kill();
    p.waitForFinished();
    QVERIFY2(err.contains("main window ready"),
             withRoundTrip(err + "\nthe probe received: " + probe.log().join(u' ').toLatin1()));
    qInfo("orlu's main window ready after %.1f s", took.elapsed() / 1000.0);
    QCOMPARE(probe.log(), StartupCommands);
}

void TestUsbProbe::startupWindowThroughTheKernel_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("length"); // data bytes of each report
    QTest::addColumn<bool>("ready");
    QTest::addColumn<QString>("serial"); // empty: not read
    QTest::addColumn<QString>("hardware");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("64 data bytes") << QStringList() << 64 << true << Firmware.serial
                                   << Firmware.hardwareVersion << QString() << StartupCommands;
    QTest::newRow("8 data bytes") << QStringList() << 8 << true << Firmware.serial << Firmware.hardwareVersion
                                  << QString() << StartupCommands;
    // An answer later than 350 ms counts as none.
    QTest::newRow("late answer") << QStringList{u"--delay"_s, u"500"_s} << 64 << false << QString()
                                 << Firmware.hardwareVersion << u"联机异常"_s << QStringList{u"X000000"_s};
    QTest::newRow("no string 3") << QStringList{u"--no-string3"_s} << 64 << false << u"None!"_s
                                 << u"USB Status Error!"_s << u"USB界面异常"_s << QStringList();
}

void TestUsbProbe::startupWindowThroughTheKernel() {
    QFETCH(QStringList, options);
    QFETCH(int, length);
    QFETCH(bool, ready);
    QFETCH(QString, serial);
    QFETCH(QString, message);
    QFETCH(QStringList, commands);
    Bench bench(options + QStringList{u"--report-length"_s, QString::number(length)});
    QVERIFY2(bench.held(), bench.whyNot());
    QCOMPARE(bench.hid.capabilities().inputReportLength, length + 1);
    QCOMPARE(bench.hid.capabilities().outputReportLength, length + 1);
    DeviceStatus status;
    StartupStatusWindow window(bench.link, bench.clock, bench.pump, status);
    window.show();
    QVERIFY(bench.waitFor([&] { return window.hasRun() && !window.isRunning(); }, 30000));
    QVERIFY2(status.ready == ready,
             withRoundTrip(u"ready: %1, status: %2"_s.arg(status.ready).arg(status.statusMessage).toUtf8()));
    if (!serial.isEmpty())
        QCOMPARE(status.serialText, serial);
    QTEST(status.hardwareText, "hardware");
    QVERIFY2(status.statusMessage.contains(message), qPrintable(status.statusMessage));
    // Each command with blanks to the report's length, no report id.
    QByteArrayList sent;
    for (const QString &command : commands)
        sent << command.toLatin1().leftJustified(length, ' ');
    QCOMPARE(bench.reports(), sent);
    if (ready)
        QCOMPARE(bench.link.answer().size(), length);
}

void TestUsbProbe::usageCounterWrittenAndReadBack() {
    Bench bench({u"--counter"_s, u"0001FF"_s});
    QVERIFY2(bench.held(), bench.whyNot());
    QCOMPARE(bench.link.usageCounter(true), 512);
    QCOMPARE(bench.link.usageCounter(false), 512);
    QCOMPARE(bench.log().mid(3, 3), (QStringList{u"W060000"_s, u"W070200"_s, u"W080000"_s}));
}

void TestUsbProbe::wholeRunArrivesAndIsStored() {
    Bench bench({u"--operator"_s, u"measuring"_s});
    QVERIFY2(bench.held(), bench.whyNot());
    QElapsedTimer took;
    took.start();
    QVERIFY(bench.run.start(RunParameters{false, 4000, 1.0}));
    qInfo("24 points through the kernel in %.1f s", took.elapsed() / 1000.0);
    QVERIFY2(bench.measurement.complete(),
             withRoundTrip("points done: " + QByteArray::number(bench.pointsDone.size())));
    QCOMPARE(bench.pointsDone.size(), ChannelCount);
    QVERIFY(bench.prompter.texts().isEmpty());
    QCOMPARE(bench.log().count(u"S192C00"_s), ChannelCount - 1);
    QCOMPARE(bench.log().last(), u"X000000"_s);

    test::RecordFixture f;
    MeasurementRepository repository(f.db());
    QString error;
    const qint64 key =
        storeCurrentMeasurement(repository, bench.measurement, test::subjectOf(u"USB1"_s), &error);
    QVERIFY2(key > 0, qPrintable(error));
    const std::optional<MeasurementRecord> row = repository.fetch(key);
    QVERIFY(row);
    for (int c = 1; c <= ChannelCount; ++c)
        QCOMPARE(row->values[size_t(c - 1)], bench.measurement.value(c));
}

void TestUsbProbe::pulledProbeStopsTheRunAndComesBack() {
    Bench bench({u"--operator"_s, u"measuring"_s});
    QVERIFY2(bench.held(), bench.whyNot());
    bench.afterPoint = [&](int channel) {
        if (channel == 3)
            bench.unplugSoon();
    };
    bench.run.start(RunParameters{false, 4000, 1.0});
    QVERIFY(!bench.run.isRunning());
    QCOMPARE(bench.prompter.texts(), QStringList{ProbeWatch::lostMessage()});
    // The points done stay; nothing of the point under way is kept.
    QCOMPARE(bench.pointsDone, (QList<int>{1, 2, 3}));
    for (int c = 1; c <= ChannelCount; ++c)
        QCOMPARE(bench.measurement.value(c) != 0.0, c <= 3);
    QVERIFY(bench.waitFor([&] { return !bench.link.probeHeld(); }));

    QVERIFY(bench.plug());
    QVERIFY2(bench.waitFor([&] { return bench.link.probeHeld(); }), qPrintable(bench.hid.lastError()));
    QVERIFY2(bench.link.resetProbe(), withRoundTrip());
    QCOMPARE(bench.link.hardwareVersion(), Firmware.hardwareVersion);
}

void TestUsbProbe::secondProbeWaitsUntilTheFirstLeaves() {
    Bench first({u"--hardware"_s, u"first"_s});
    QVERIFY2(first.held(), first.whyNot());
    QCOMPARE(first.link.hardwareVersion(), u"first"_s);
    GadgetProbe second({u"--hardware"_s, u"second"_s}, u"dummy_udc.1"_s);
    QVERIFY(second.ok());
    // Device changes come and go; the held probe stays.
    waitFor(first.clock, first.pump, 2500);
    QCOMPARE(first.link.hardwareVersion(), u"first"_s);
    QVERIFY(first.unplug());
    QVERIFY(first.waitFor([&] { return first.link.hardwareVersion() == u"second"_s; }));
    QVERIFY2(first.link.resetProbe(), withRoundTrip());
    QCOMPARE(second.log().last(), u"X000000"_s);
}

void TestUsbProbe::cliProbeInfoAndRead() {
    QTemporaryDir home;
    const QProcessEnvironment env = programEnvironment(home.path());
    const Finished none = runProgram(Cli, {u"probe"_s, u"info"_s}, env);
    QCOMPARE(none.status, 1);
    QVERIFY2(none.err.contains("no probe on the USB bus"), none.err);

    GadgetProbe probe({u"--counter"_s, u"000102"_s});
    QVERIFY(probe.ok());
    const Finished info = runProgram(Cli, {u"probe"_s, u"info"_s, u"--json"_s}, env);
    QVERIFY2(info.status == 0, info.err);
    const QJsonObject o = QJsonDocument::fromJson(info.out).object();
    QCOMPARE(o.value(u"serial"_s).toString(), Firmware.serial);
    QCOMPARE(o.value(u"hardware"_s).toString(), Firmware.hardwareVersion);
    QCOMPARE(o.value(u"usageCounter"_s).toInt(), 258);
    QCOMPARE(o.value(u"inputReportLength"_s).toInt(), 65);
    QCOMPARE(o.value(u"device"_s).toString(), probe.node());
    QVERIFY(o.value(u"sysfs"_s).toString().startsWith(u"/sys/devices/platform/dummy_hcd.0/usb"_s));
    QVERIFY(QFileInfo::exists(o.value(u"usbNode"_s).toString()));

    const Finished read = runProgram(Cli, {u"probe"_s, u"read"_s, u"--count"_s, u"5"_s}, env);
    QVERIFY2(read.status == 0, withRoundTrip(read.err));
    QCOMPARE(read.out.trimmed().split('\n').size(), 6);

    // The program holds it: the command keeps its hands off.
    KernelLink k;
    QVERIFY(k.link.probeHeld());
    const Finished held = runProgram(Cli, {u"probe"_s, u"info"_s}, env);
    QCOMPARE(held.status, 1);
    QVERIFY2(held.err.contains("held by another program"), held.err);
}

void TestUsbProbe::probeAccessAsAUser() {
    GadgetProbe probe;
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
        QVERIFY2(ruleText.contains(match), match);
    }

    QTemporaryDir home;
    QVERIFY(QFile::setPermissions(home.path(), QFile::Permissions(0x7777)));
    const QProcessEnvironment env = programEnvironment(home.path());
    const QStringList asNobody{u"--reuid"_s,        QString::number(NobodyId),
                               u"--regid"_s,        QString::number(NobodyId),
                               u"--clear-groups"_s, Cli,
                               u"probe"_s,          u"info"_s};
    // Without the rule's grant the nodes are root's alone: refused, saying why.
    const Finished refused = runProgram(u"setpriv"_s, asNobody, env);
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("Permission denied"), refused.err);
    // What the rule's uaccess tag has the login manager do for the user at the seat: read and
    // write access to the hidraw node and the USB node.
    for (const QString &node : {probe.node(), address->node})
        QVERIFY(::chown(node.toLocal8Bit().constData(), NobodyId, NobodyId) == 0);
    const Finished granted = runProgram(u"setpriv"_s, asNobody, env);
    QVERIFY2(granted.status == 0, granted.err);
    QVERIFY2(granted.out.contains(Firmware.hardwareVersion.toUtf8()), granted.out);
}

QTEST_MAIN(TestUsbProbe)
#include "test_usbprobe.moc"
