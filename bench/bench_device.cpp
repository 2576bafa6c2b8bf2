// Speed of the command exchange against the simulated probe with real threads
// and real time: exchanges per second, software overhead per exchange, and the
// CPU used while a command waits for an answer that never comes.
#include "core/clock.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;
using namespace orlu;

namespace {

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    SystemClock clock;
    QtEventPump pump;
    SimulatedHidLayer sim(clock, SimulatedHidLayer::Timing::RealTime);
    SimulatedProbeOptions options;
    options.latencyMs = 0;
    options.skin = SkinModel::OnPoint;
    sim.addProbe(options);
    ProbeLink link(sim, clock, pump);
    link.registerDeviceChange();

    for (int i = 0; i < 200; ++i) // warm up
        link.readCurrent();

    int answered = 0;
    int sent = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 2000) {
        for (int i = 0; i < 100; ++i, ++sent)
            answered += link.sendCommand(u"D000000"_s) ? 1 : 0;
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (answered != sent)
        std::fprintf(stderr, "unanswered exchanges: %d of %d\n", sent - answered, sent);
    const double perSecond = sent / seconds;
    std::printf("roundtrips_per_s: %.0f /s\n", perSecond);
    std::printf("roundtrip_overhead_us: %.1f us\n", 1e6 / perSecond);

    sim.probe().dropAnswers(1000000);
    const int waits = 6;
    const double cpuStart = processCpuSeconds();
    timer.restart();
    for (int i = 0; i < waits; ++i)
        link.sendCommand(u"X000000"_s);
    const double wall = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double cpu = processCpuSeconds() - cpuStart;
    std::printf("wait_cpu_percent: %.2f %%\n", 100.0 * cpu / wall);
    return 0;
}
