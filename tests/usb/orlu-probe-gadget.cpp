// orlu-probe-gadget: the probe's firmware model (the simulated probe) as a USB device. It makes a
// configfs gadget with the probe's ids, strings and one HID function, binds it to a USB device
// controller (the dummy one, whose host side the kernel enumerates like a plugged-in device) and
// answers each output report at once with an input report. Standard input: "unplug" and "plug"
// lines, acknowledged with "unplugged" and "plugged"; its end takes the gadget down.
#include "device/simulatedprobe.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// A vendor-defined collection (usage page 0xFF00, usage 1) with one input and one output report
// of `length` bytes from 0 to 255, no report id.
QByteArray reportDescriptor(int length) {
    const QByteArray count = "95" + QByteArray::number(length, 16).rightJustified(2, '0');
    return QByteArray::fromHex("0600ff0901a101150026ff007508" + count + "09018102" + count + "09019102c0");
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
    // No USB string 3 where `string3` is empty.
    Gadget(const QString &udc, int reportLength, const QByteArray &string3)
        : m_udc(udc)
        , m_reportLength(reportLength)
        , m_string3(string3) {}

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
            {m_function + u"/report_length"_s, QByteArray::number(m_reportLength)},
            {m_function + u"/report_desc"_s, reportDescriptor(m_reportLength)}};
        if (!m_string3.isEmpty())
            files.append({m_strings + u"/serialnumber"_s, m_string3});
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
        m_bound = writeFile(m_dir + u"/UDC"_s, m_udc.toUtf8());
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
    const QString m_udc;
    const int m_reportLength;
    const QByteArray m_string3;
    const QString m_dir = u"/sys/kernel/config/usb_gadget/orlu-"_s + m_udc;
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
    const SimulatedProbeOptions firmware;
    const QStringList scenarios{u"infer"_s, u"measuring"_s, u"calibrating"_s, u"locating"_s};
    QCommandLineParser args;
    args.setApplicationDescription(u"The probe as a USB gadget; as root, with configfs, libcomposite, "
                                   "usb_f_hid and dummy_hcd."_s);
    args.addHelpOption();
    args.addOptions({
        {u"udc"_s, u"The device controller to bind."_s, u"UDC"_s, u"dummy_udc.0"_s},
        {u"report-length"_s, u"Data bytes of each report, 8 to 64."_s, u"N"_s, u"64"_s},
        {u"no-string3"_s, u"No USB string 3 (the hardware text)."_s},
        {u"hardware"_s, u"The hardware text."_s, u"TEXT"_s, firmware.hardwareVersion},
        {u"serial"_s, u"The serial text, twelve characters."_s, u"TEXT"_s, firmware.serial},
        {u"counter"_s, u"The usage counter's registers 6 to 8."_s, u"HEX6"_s},
        {u"delay"_s, u"Answer this many ms after the command."_s, u"MS"_s, u"0"_s},
        {u"operator"_s, u"What the auto-operator does: "_s + scenarios.join(u", "_s), u"KIND"_s,
         scenarios[0]},
        {u"log"_s, u"Append each output report here, in hex."_s, u"FILE"_s},
    });
    args.process(app);
    const int length = args.value(u"report-length"_s).toInt();
    const int delayMs = args.value(u"delay"_s).toInt();
    const QString counter = args.value(u"counter"_s);
    const QString udc = args.value(u"udc"_s);
    const qsizetype scenario = scenarios.indexOf(args.value(u"operator"_s));
    if (length < 8 || length > 64 || delayMs < 0 || scenario < 0 ||
        (!counter.isEmpty() && counter.size() != 6) || udc.contains(u'/'))
        args.showHelp(2);

    SimulatedProbeOptions options;
    options.serial = args.value(u"serial"_s);
    options.hardwareVersion = args.value(u"hardware"_s);
    options.latencyMs = 0;
    SimulatedProbe probe(options);
    probe.setScenario(AutoOperator::Scenario(scenario)); // in the order of `scenarios`
    for (int n = 0; n < counter.size() / 2; ++n)
        probe.setRegisterValue(6 + n, counter.mid(2 * n, 2));
    QFile log(args.value(u"log"_s));
    if (!log.fileName().isEmpty() && !log.open(QIODevice::WriteOnly | QIODevice::Append))
        return 1;

    Gadget gadget(udc, length, args.isSet(u"no-string3"_s) ? QByteArray() : options.hardwareVersion.toUtf8());
    if (!gadget.setUp())
        return 1;
    say("ready");
    QElapsedTimer since;
    since.start();
    QByteArray report(length, '\0');
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
                QThread::msleep(ulong(delayMs));
                const QByteArray data = answerReportData(*answer, length);
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
