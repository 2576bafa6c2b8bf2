// orlu-probe-gadget: the probe's firmware (the simulated probe's model) as a USB device. It sets
// up a configfs gadget with the probe's ids, strings and one HID function, binds it to a
// USB device controller (the dummy one, whose host side the kernel enumerates like any
// plugged-in device) and answers every output report the host writes to the HID function
// with an input report, at once. Lines on standard input: "unplug" (unbind the controller),
// "plug" (bind it again), "quit" (or the end of input: take the gadget down). Each is
// acknowledged on standard output once done; "ready" when first plugged in.
#include "device/simulatedprobe.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

const char Usage[] =
    "Usage: orlu-probe-gadget [--name NAME] [--udc UDC] [--report-length 8|64] [--no-string3]\n"
    "         [--hardware TEXT] [--serial TWELVE] [--counter HEX6] [--delay MS] [--operator KIND]\n"
    "         [--skin KIND] [--log FILE] [--raw-log FILE]\n"
    "A probe on the USB bus through configfs (run as root, libcomposite and usb_f_hid loaded).\n"
    "  --udc            the device controller to bind (default dummy_udc.0)\n"
    "  --report-length  data bytes of the input and the output report (default 64)\n"
    "  --no-string3     the probe gives no USB string 3 (its hardware text)\n"
    "  --delay          answer this many ms after the command\n"
    "  --operator       infer | measuring | calibrating | locating: what the auto-operator does\n"
    "  --skin           steady | drifting | unsteady | poor | saturated\n"
    "  --log            every command received, one a line; --raw-log: each output report in hex\n";

struct Options {
    QString name = u"orlu-probe"_s;
    QString udc = u"dummy_udc.0"_s;
    int reportLength = 64;
    bool string3 = true;
    int delayMs = 0;
    QString counter;
    QString rawLog;
    SimulatedProbeOptions probe;
};

std::optional<Options> parse(const QStringList &args) {
    Options o;
    o.probe.latencyMs = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const QString value = args.value(i + 1);
        if (a == u"--no-string3"_s) {
            o.string3 = false;
            continue;
        }
        if (i + 1 >= args.size())
            return std::nullopt;
        ++i;
        if (a == u"--name"_s)
            o.name = value;
        else if (a == u"--udc"_s)
            o.udc = value;
        else if (a == u"--report-length"_s)
            o.reportLength = value.toInt();
        else if (a == u"--hardware"_s)
            o.probe.hardwareVersion = value;
        else if (a == u"--serial"_s)
            o.probe.serial = value;
        else if (a == u"--counter"_s)
            o.counter = value;
        else if (a == u"--delay"_s)
            o.delayMs = value.toInt();
        else if (a == u"--log"_s)
            o.probe.logFile = value;
        else if (a == u"--raw-log"_s)
            o.rawLog = value;
        else if (a == u"--operator"_s || a == u"--skin"_s)
            continue; // applied to the probe once it exists
        else
            return std::nullopt;
    }
    if (o.reportLength < 8 || o.reportLength > 64 || o.delayMs < 0 || o.name.contains(u'/'))
        return std::nullopt;
    return o;
}

std::optional<AutoOperator::Scenario> operatorOf(const QString &word) {
    if (word == u"infer"_s)
        return AutoOperator::Scenario::Infer;
    if (word == u"measuring"_s)
        return AutoOperator::Scenario::Measuring;
    if (word == u"calibrating"_s)
        return AutoOperator::Scenario::Calibrating;
    if (word == u"locating"_s)
        return AutoOperator::Scenario::Locating;
    return std::nullopt;
}

std::optional<SkinScenario> skinOf(const QString &word) {
    const std::pair<const char16_t *, SkinScenario> words[] = {{u"steady", SkinScenario::Steady},
                                                               {u"drifting", SkinScenario::Drifting},
                                                               {u"unsteady", SkinScenario::Unsteady},
                                                               {u"poor", SkinScenario::PoorContact},
                                                               {u"saturated", SkinScenario::Saturated}};
    for (const auto &[name, scenario] : words) {
        if (word == QStringView(name))
            return scenario;
    }
    return std::nullopt;
}

// A vendor-defined collection with one input and one output report of `length` bytes, no report id.
QByteArray reportDescriptor(int length) {
    const char bytes[] = {
        '\x06', '\x00',       '\xFF', // usage page (vendor defined 0xFF00)
        '\x09', '\x01',               // usage 1
        '\xA1', '\x01',               // collection (application)
        '\x15', '\x00',               //   logical minimum 0
        '\x26', '\xFF',       '\x00', //   logical maximum 255
        '\x75', '\x08',               //   report size 8
        '\x95', char(length),         //   report count
        '\x09', '\x01',               //   usage 1
        '\x81', '\x02',               //   input (data, variable, absolute)
        '\x95', char(length),         //   report count
        '\x09', '\x01',               //   usage 1
        '\x91', '\x02',               //   output (data, variable, absolute)
        '\xC0',                       // end collection
    };
    return QByteArray(bytes, sizeof bytes);
}

bool writeFile(const QString &path, const QByteArray &content) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) {
        std::fprintf(stderr, "orlu-probe-gadget: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(f.errorString()));
        return false;
    }
    return true;
}

class Gadget {
public:
    explicit Gadget(const Options &o)
        : m_options(o)
        , m_dir(u"/sys/kernel/config/usb_gadget/"_s + o.name) {}
    ~Gadget() { takeDown(); }

    bool setUp() {
        const QString strings = m_dir + u"/strings/0x409"_s;
        const QString function = m_dir + u"/functions/hid.usb0"_s;
        const QString config = m_dir + u"/configs/c.1"_s;
        if (!QDir().mkpath(strings) || !QDir().mkpath(function) || !QDir().mkpath(config)) {
            std::fprintf(stderr,
                         "orlu-probe-gadget: cannot make the gadget in %s (is configfs mounted, "
                         "libcomposite loaded?)\n",
                         qPrintable(m_dir));
            return false;
        }
        m_made = true;
        // String 3, the hardware text, is the device's serial number string: the composite
        // device numbers its strings manufacturer 1, product 2, serial number 3.
        bool ok = writeFile(m_dir + u"/idVendor"_s, "0xc925") &&
                  writeFile(m_dir + u"/idProduct"_s, "0xa12f") &&
                  writeFile(m_dir + u"/bcdDevice"_s, "0x0210") && writeFile(m_dir + u"/bcdUSB"_s, "0x0200") &&
                  writeFile(strings + u"/manufacturer"_s, "Quorix") &&
                  writeFile(strings + u"/product"_s, "O.R.L.U. Probe") &&
                  (!m_options.string3 ||
                   writeFile(strings + u"/serialnumber"_s, m_options.probe.hardwareVersion.toUtf8())) &&
                  writeFile(function + u"/protocol"_s, "0") && writeFile(function + u"/subclass"_s, "0") &&
                  writeFile(function + u"/report_length"_s, QByteArray::number(m_options.reportLength)) &&
                  writeFile(function + u"/report_desc"_s, reportDescriptor(m_options.reportLength)) &&
                  writeFile(config + u"/MaxPower"_s, "100");
        if (ok && !QFile::link(function, config + u"/hid.usb0"_s)) {
            std::fprintf(stderr, "orlu-probe-gadget: cannot put the HID function into the configuration\n");
            ok = false;
        }
        return ok && plug();
    }

    bool plug() {
        if (!writeFile(m_dir + u"/UDC"_s, m_options.udc.toUtf8()))
            return false;
        m_bound = true;
        // The function's node exists once the gadget is bound; its number is in its dev attribute.
        QFile devFile(m_dir + u"/functions/hid.usb0/dev"_s);
        const int minor =
            devFile.open(QIODevice::ReadOnly) ? devFile.readAll().trimmed().split(':').value(1).toInt() : 0;
        const QByteArray node = "/dev/hidg" + QByteArray::number(minor);
        for (int i = 0; i < 500 && m_fd < 0; ++i) {
            m_fd = ::open(node.constData(), O_RDWR | O_CLOEXEC);
            if (m_fd < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (m_fd < 0)
            std::fprintf(stderr, "orlu-probe-gadget: cannot open %s\n", node.constData());
        return m_fd >= 0;
    }

    void unplug() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        if (m_bound)
            writeFile(m_dir + u"/UDC"_s, "\n");
        m_bound = false;
    }

    int fd() const { return m_fd; }

private:
    void takeDown() {
        if (!m_made)
            return;
        unplug();
        QFile::remove(m_dir + u"/configs/c.1/hid.usb0"_s);
        for (const QString &d : {u"/configs/c.1"_s, u"/functions/hid.usb0"_s, u"/strings/0x409"_s, QString()})
            ::rmdir(QString(m_dir + d).toLocal8Bit().constData());
    }

    const Options &m_options;
    QString m_dir;
    bool m_made = false;
    bool m_bound = false;
    int m_fd = -1;
};

quint32 millisecondsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<quint32>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count());
}

void say(const char *line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    std::optional<Options> options = parse(args);
    if (!options || args.contains(u"--help"_s)) {
        std::fputs(Usage, options ? stdout : stderr);
        return options ? 0 : 2;
    }
    SimulatedProbe probe(options->probe);
    if (!options->counter.isEmpty()) {
        for (int n = 0; n < 3; ++n)
            probe.setRegisterValue(6 + n, options->counter.mid(2 * n, 2));
    }
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == u"--operator"_s) {
            const auto scenario = operatorOf(args[i + 1]);
            if (!scenario)
                return 2;
            probe.setScenario(*scenario);
        } else if (args[i] == u"--skin"_s) {
            const auto skin = skinOf(args[i + 1]);
            if (!skin)
                return 2;
            probe.setSkinScenario(*skin);
        }
    }
    QFile rawLog(options->rawLog);
    if (!options->rawLog.isEmpty() && !rawLog.open(QIODevice::WriteOnly | QIODevice::Append))
        return 1;

    Gadget gadget(*options);
    if (!gadget.setUp())
        return 1;
    say("ready");
    const auto start = std::chrono::steady_clock::now();
    QByteArray buffer(options->reportLength, '\0');
    QByteArray line;
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {gadget.fd(), POLLIN, 0}};
        if (::poll(fds, gadget.fd() >= 0 ? 2 : 1, -1) < 0)
            continue;
        if (fds[1].revents & POLLIN) {
            const ssize_t n = ::read(gadget.fd(), buffer.data(), static_cast<size_t>(buffer.size()));
            if (n > 0) {
                const QByteArray report = buffer.left(n);
                if (rawLog.isOpen()) {
                    rawLog.write(report.toHex() + '\n');
                    rawLog.flush();
                }
                const std::optional<QByteArray> answer =
                    probe.receive(commandOfReport(report), millisecondsSince(start));
                if (answer) {
                    if (options->delayMs > 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(options->delayMs));
                    const QByteArray data = answerReportData(*answer, options->reportLength);
                    [[maybe_unused]] const ssize_t w =
                        ::write(gadget.fd(), data.constData(), static_cast<size_t>(data.size()));
                }
            }
        }
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            char c = 0;
            const ssize_t n = ::read(STDIN_FILENO, &c, 1);
            if (n <= 0)
                break;
            if (c != '\n') {
                line += c;
                continue;
            }
            const QByteArray command = std::exchange(line, {}).trimmed();
            if (command == "quit")
                break;
            if (command == "unplug") {
                gadget.unplug();
                say("unplugged");
            } else if (command == "plug") {
                say(gadget.plug() ? "plugged" : "plug failed");
            }
        }
    }
    return 0;
}
