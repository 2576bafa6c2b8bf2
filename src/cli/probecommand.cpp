#include "cli/probecommand.h"

#include "core/clock.h"
#include "cli/commandline.h"
#include "device/hidrawlayer.h"
#include "device/hidrawsysfs.h"
#include "device/probelink.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The probe taken for this command, or why not.
struct HeldProbe {
    HidrawLayer hid;
    SystemClock clock;
    QtEventPump pump;
    ProbeLink link{hid, clock, pump};

    QString take() {
        link.registerDeviceChange();
        if (link.probeHeld())
            return {};
        const QList<HidDeviceInfo> devices = hid.devices();
        if (std::none_of(devices.begin(), devices.end(), isProbe))
            return u"no probe on the USB bus"_s;
        if (hid.lastError().endsWith(HidrawLayer::heldElsewhereText()))
            return hid.lastError() + u" (a running O.R.L.U. program holds it: close it first)"_s;
        return u"the probe cannot be opened: "_s + hid.lastError();
    }
};

QString noAnswer(const QString &command) {
    return u"the probe does not answer (nothing came back to %1)"_s.arg(command);
}

int runInfo(HeldProbe &p, bool json, QTextStream &out, QTextStream &err) {
    if (!p.link.resetProbe()) {
        err << "probe info: " << noAnswer(u"X000000"_s) << '\n';
        return ExitFailed;
    }
    const QString serial = p.link.readSerial();
    const int counter = p.link.usageCounter(false);
    const QString hardware = p.link.hardwareVersion();
    const HidCapabilities caps = p.hid.capabilities();
    const QString node = p.hid.heldPath();
    const QString usbDir = hidraw::usbDeviceDirectory(node);
    const std::optional<hidraw::UsbAddress> address = hidraw::usbAddress(usbDir);
    if (json) {
        QJsonObject o{{u"serial"_s, serial},
                      {u"hardware"_s, hardware},
                      {u"usageCounter"_s, counter},
                      {u"inputReportLength"_s, caps.inputReportLength},
                      {u"outputReportLength"_s, caps.outputReportLength},
                      {u"device"_s, node},
                      {u"sysfs"_s, usbDir}};
        if (address) {
            o.insert(u"usbBus"_s, address->bus);
            o.insert(u"usbDevice"_s, address->device);
            o.insert(u"usbNode"_s, address->node);
        }
        out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
        return ExitOk;
    }
    out << "serial:        " << serial << '\n'
        << "hardware:      " << (hardware.isEmpty() ? u"(no USB string 3)"_s : hardware) << '\n'
        << "usage counter: " << counter << '\n'
        << "input report:  " << caps.inputReportLength << " bytes with the report id\n"
        << "output report: " << caps.outputReportLength << " bytes with the report id\n"
        << "device:        " << node << '\n';
    if (address)
        out << "usb:           bus " << address->bus << " device " << address->device << " (" << address->node
            << ", " << usbDir << ")\n";
    return ExitOk;
}

int runRead(HeldProbe &p, int count, QTextStream &out, QTextStream &err) {
    // As a measuring run does: reset, start, standard potential; reset again at the end.
    if (!p.link.resetProbe() || !p.link.startProbe() || !p.link.setPotential(false)) {
        err << "probe read: " << noAnswer(u"X000000, N000000, L000000"_s) << '\n';
        p.link.resetProbe();
        return ExitFailed;
    }
    QElapsedTimer since;
    since.start();
    int unanswered = 0;
    out << "ms\treading\n";
    for (int i = 0; i < count; ++i) {
        const int reading = p.link.readCurrent();
        if (!p.link.answerArrived()) {
            ++unanswered;
            out << since.elapsed() << "\t-\n";
        } else {
            out << since.elapsed() << '\t' << reading << '\n';
        }
        out.flush();
    }
    p.link.resetProbe();
    if (unanswered > 0) {
        err << "probe read: " << unanswered << " of " << count << " readings got no answer\n";
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace

int runProbeCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"probe"_s, u"info|read"_s,
                   u"Service work on the probe on the USB bus: info prints its serial, hardware text, usage "
                   u"counter, report sizes and place on the bus; read takes readings with their times (ms "
                   u"since the first). Exit 1 when no probe is there, it cannot be opened, a running program "
                   u"holds it, or it does not answer."_s);
    cl.addFlag(u"json"_s, u"info: one JSON object"_s);
    cl.addValueOption(u"count"_s, u"N"_s, u"read: how many readings (default 10)"_s);
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    const QStringList what = cl.positional();
    if (what.size() != 1 || (what[0] != u"info"_s && what[0] != u"read"_s))
        return cl.usageError(err, u"say info or read"_s);
    const bool info = what[0] == u"info"_s;
    if (info && cl.isSet(u"count"_s))
        return cl.usageError(err, u"--count belongs to read"_s);
    if (!info && cl.isSet(u"json"_s))
        return cl.usageError(err, u"--json belongs to info"_s);
    int count = 10;
    if (cl.isSet(u"count"_s)) {
        const std::optional<qint64> n = cl.integerValue(u"count"_s, 1, 100000, err);
        if (!n)
            return ExitUsage;
        count = static_cast<int>(*n);
    }
    HeldProbe probe;
    if (const QString refused = probe.take(); !refused.isEmpty()) {
        err << "probe " << what[0] << ": " << refused << '\n';
        return ExitFailed;
    }
    return info ? runInfo(probe, cl.isSet(u"json"_s), out, err) : runRead(probe, count, out, err);
}

} // namespace orlu
