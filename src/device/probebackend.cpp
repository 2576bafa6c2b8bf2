#include "device/probebackend.h"

#include "device/hidrawlayer.h"
#include "device/simulatedhidlayer.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace orlu {

ProbeBackend chooseProbeBackend(const QStringList &arguments) {
    const QString env = qEnvironmentVariable("ORLU_PROBE").trimmed().toLower();
    if (env == u"hid"_s)
        return ProbeBackend::Hardware;
    if (env == u"sim"_s || arguments.contains(u"--simulate-probe"_s))
        return ProbeBackend::Simulated;
    return ProbeBackend::Hardware;
}

std::unique_ptr<HidLayer> createHidLayer(ProbeBackend which, const ProgramFolder &folder,
                                         const Clock &clock) {
    if (which == ProbeBackend::Hardware)
        return std::make_unique<HidrawLayer>();
    auto layer = std::make_unique<SimulatedHidLayer>(clock, SimulatedHidLayer::Timing::RealTime);
    SimulatedProbeOptions options;
    options.counterFile = folder.file(u"SimProbe.cnt"_s);
    options.logFile = qEnvironmentVariable("ORLU_PROBE_LOG");
    layer->addProbe(options);
    return layer;
}

bool realProbePresent() {
    return hidrawProbePresent();
}

int runProbePresent(QTextStream &out) {
    HidrawLayer layer;
    QStringList found;
    for (const HidDeviceInfo &d : layer.devices()) {
        if (isProbe(d))
            found << d.path;
    }
    if (found.isEmpty()) {
        out << "no probe on the bus\n";
        return 1;
    }
    out << "probe present: " << found.join(u", "_s) << '\n';
    return 0;
}

} // namespace orlu
