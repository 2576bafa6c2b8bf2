// orlu-probe-gadget: the probe's firmware model (the simulated probe) as a USB device. It makes a
// configfs gadget with the probe's ids, strings and one HID function, binds it to a USB device
// controller (the dummy one, whose host side the kernel enumerates like a plugged-in device) and
// answers each output report at once with an input report. Standard input: "unplug" and "plug"
// lines, acknowledged with "unplugged" and "plugged"; its end takes the gadget down.
#include "device/simulatedprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

const char Usage[] =
    "Usage: orlu-probe-gadget [--udc UDC] [--report-length 8..64] [--no-string3] [--hardware TEXT]\n"
    "  [--serial TWELVE] [--counter HEX6] [--delay MS] [--operator infer|measuring|calibrating|locating]\n"
    "  [--skin steady|drifting|unsteady|poor|saturated] [--log FILE]\n"
    "As root, with configfs, libcomposite, usb_f_hid and dummy_hcd. --log: each output report in hex.\n";

struct Options {
    QString udc = u"dummy_udc.0"_s;
    int reportLength = 64;
    bool string3 = true;
    int delayMs = 0;
    QString counter;
    QString log;
    AutoOperator::Scenario scenario = AutoOperator::Scenario::Infer;
    SkinScenario skin = SkinScenario::Steady;
    SimulatedProbeOptions probe;
};

template <typename T>
bool pick(const QString &word, std::initializer_list<std::pair<const char *, T>> words, T &to) {
    for (const auto &[name, value] : words) {
        if (word == QLatin1StringView(name)) {
            to = value;
            return true;
        }
    }
    return false;
}

std::optional<Options> parse(const QStringList &args) {
    using S = AutoOperator::Scenario;
    Options o;
    bool ok = true;
    for (qsizetype i = 0; ok && i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--no-string3"_s) {
            o.string3 = false;
            continue;
        }
        if (++i == args.size())
            return std::nullopt;
        const QString &v = args[i];
        if (a == u"--udc"_s)
            o.udc = v;
        else if (a == u"--report-length"_s)
            o.reportLength = v.toInt();
        else if (a == u"--hardware"_s)
            o.probe.hardwareVersion = v;
        else if (a == u"--serial"_s)
            o.probe.serial = v;
        else if (a == u"--counter"_s)
            o.counter = v;
        else if (a == u"--delay"_s)
            o.delayMs = v.toInt();
        else if (a == u"--log"_s)
            o.log = v;
        else if (a == u"--operator"_s)
            ok = pick(v,
                      {{"infer", S::Infer},
                       {"measuring", S::Measuring},
                       {"calibrating", S::Calibrating},
                       {"locating", S::Locating}},
                      o.scenario);
        else if (a == u"--skin"_s)
            ok = pick(v,
                      {{"steady", SkinScenario::Steady},
                       {"drifting", SkinScenario::Drifting},
                       {"unsteady", SkinScenario::Unsteady},
                       {"poor", SkinScenario::PoorContact},
                       {"saturated", SkinScenario::Saturated}},
                      o.skin);
        else
            ok = false;
    }
    ok = ok && o.reportLength >= 8 && o.reportLength <= 64 && o.delayMs >= 0 &&
         (o.counter.isEmpty() || o.counter.size() == 6) && !o.udc.contains(u'/');
    return ok ? std::optional(o) : std::nullopt;
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
    if (f.open(QIODevice::WriteOnly) && f.write(content) == content.size())
        return true;
    std::fprintf(stderr, "orlu-probe-gadget: cannot write %s: %s\n", qPrintable(path),
                 qPrintable(f.errorString()));
    return false;
}

class Gadget {
public:
    explicit Gadget(const Options &o)
        : m_options(o)
        , m_dir(u"/sys/kernel/config/usb_gadget/orlu-"_s + o.udc) {}

    ~Gadget() {
        unplug();
        QFile::remove(m_config + u"/hid.usb0"_s);
        for (const QString &d : {m_config, m_function, m_strings, m_dir})
            QDir().rmdir(d);
    }

    bool setUp() {
        if (!QDir().mkpath(m_strings) || !QDir().mkpath(m_function) || !QDir().mkpath(m_config)) {
            std::fprintf(stderr, "orlu-probe-gadget: cannot make %s\n", qPrintable(m_dir));
            return false;
        }
        // The composite device numbers its strings manufacturer 1, product 2, serial number 3:
        // string 3, the hardware text, is the serial number string.
        QList<std::pair<QString, QByteArray>> files{
            {m_dir + u"/idVendor"_s, "0xc925"},
            {m_dir + u"/idProduct"_s, "0xa12f"},
            {m_strings + u"/manufacturer"_s, "Quorix"},
            {m_strings + u"/product"_s, "O.R.L.U. Probe"},
            {m_function + u"/report_length"_s, QByteArray::number(m_options.reportLength)},
            {m_function + u"/report_desc"_s, reportDescriptor(m_options.reportLength)}};
        if (m_options.string3)
            files.append({m_strings + u"/serialnumber"_s, m_options.probe.hardwareVersion.toUtf8()});
        for (const auto &[path, content] : files) {
            if (!writeFile(path, content))
                return false;
        }
        if (!QFile::link(m_function, m_config + u"/hid.usb0"_s)) {
            std::fprintf(stderr, "orlu-probe-gadget: cannot put the HID function into the configuration\n");
            return false;
        }
        return plug();
    }

    bool plug() {
        m_bound = writeFile(m_dir + u"/UDC"_s, m_options.udc.toUtf8());
        if (!m_bound)
            return false;
        // The function's node comes once the gadget is bound; its minor number is in `dev`.
        QFile dev(m_function + u"/dev"_s);
        const int minor =
            dev.open(QIODevice::ReadOnly) ? dev.readAll().trimmed().split(':').value(1).toInt() : 0;
        const QByteArray node = "/dev/hidg" + QByteArray::number(minor);
        for (int i = 0; i < 500 && m_fd < 0; ++i) {
            m_fd = ::open(node.constData(), O_RDWR | O_CLOEXEC);
            if (m_fd < 0)
                QThread::msleep(10);
        }
        if (m_fd < 0)
            std::fprintf(stderr, "orlu-probe-gadget: cannot open %s\n", node.constData());
        return m_fd >= 0;
    }

    void unplug() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        if (std::exchange(m_bound, false))
            writeFile(m_dir + u"/UDC"_s, "\n");
    }

    int fd() const { return m_fd; }

private:
    const Options &m_options;
    const QString m_dir;
    const QString m_strings = m_dir + u"/strings/0x409"_s;
    const QString m_function = m_dir + u"/functions/hid.usb0"_s;
    const QString m_config = m_dir + u"/configs/c.1"_s;
    bool m_bound = false;
    int m_fd = -1;
};

void say(const char *line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const std::optional<Options> options = parse(QCoreApplication::arguments().mid(1));
    if (!options) {
        std::fputs(Usage, stderr);
        return 2;
    }
    SimulatedProbeOptions probeOptions = options->probe;
    probeOptions.latencyMs = 0;
    SimulatedProbe probe(probeOptions);
    probe.setScenario(options->scenario);
    probe.setSkinScenario(options->skin);
    for (int n = 0; n < options->counter.size() / 2; ++n)
        probe.setRegisterValue(6 + n, options->counter.mid(2 * n, 2));
    QFile log(options->log);
    if (!options->log.isEmpty() && !log.open(QIODevice::WriteOnly | QIODevice::Append))
        return 1;

    Gadget gadget(*options);
    if (!gadget.setUp())
        return 1;
    say("ready");
    QElapsedTimer since;
    since.start();
    QByteArray report(options->reportLength, '\0');
    QByteArray input;
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {gadget.fd(), POLLIN, 0}};
        if (::poll(fds, gadget.fd() >= 0 ? 2 : 1, -1) < 0)
            continue;
        if (fds[1].revents & POLLIN) {
            const ssize_t n = ::read(gadget.fd(), report.data(), size_t(report.size()));
            if (n > 0 && log.isOpen()) {
                log.write(report.left(n).toHex() + '\n');
                log.flush();
            }
            const auto answer = n > 0
                                    ? probe.receive(commandOfReport(report.left(n)), quint32(since.elapsed()))
                                    : std::nullopt;
            if (answer) {
                QThread::msleep(ulong(options->delayMs));
                const QByteArray data = answerReportData(*answer, options->reportLength);
                [[maybe_unused]] const ssize_t w =
                    ::write(gadget.fd(), data.constData(), size_t(data.size()));
            }
        }
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            char chunk[64];
            const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
            if (n <= 0)
                return 0;
            input.append(chunk, n);
            for (qsizetype end; (end = input.indexOf('\n')) >= 0; input.remove(0, end + 1)) {
                const QByteArray command = input.left(end).trimmed();
                if (command == "unplug") {
                    gadget.unplug();
                    say("unplugged");
                } else if (command == "plug") {
                    say(gadget.plug() ? "plugged" : "plug failed");
                }
            }
        }
    }
}
