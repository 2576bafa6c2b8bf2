// Speed of the command exchange against the simulated probe with real threads
// and real time: exchanges per second, software overhead per exchange, and the
// CPU used while a command waits for an answer that never comes. Then the
// descriptor device thread on a socket pair: how soon a write asked for while
// the thread waits for input reaches the descriptor.
#include "core/clock.h"
#include "device/descriptordevicethread.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace orlu;

namespace {

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Median time in us from asking for a write to its arrival at the far end of
// the pair, with the device thread asleep in its wait for input each time.
double writeWhileReadingUs() {
    using Clock = std::chrono::steady_clock;
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0)
        return -1;
    QObject context;
    DescriptorDeviceThread thread(&context, [](int, const QByteArray &) {}, fds[0], {65, 65, false});
    thread.start();
    std::atomic<long long> arrivedNs{0};
    std::atomic<bool> done{false};
    std::thread probe([&] {
        char buffer[128];
        pollfd p{fds[1], POLLIN, 0};
        while (!done) {
            if (::poll(&p, 1, 50) > 0 && ::read(fds[1], buffer, sizeof buffer) > 0)
                arrivedNs =
                    std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
                        .count();
        }
    });
    QByteArray report(65, ' ');
    report[0] = '\0';
    report.replace(1, 7, "D000000");
    std::vector<double> samples;
    for (int i = 0; i < 400; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2)); // back to its wait for input
        arrivedNs = 0;
        const long long askedNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
        thread.write(report);
        while (arrivedNs == 0)
            std::this_thread::yield();
        samples.push_back(static_cast<double>(arrivedNs - askedNs) / 1000.0);
    }
    done = true;
    probe.join();
    ::close(fds[1]);
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
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
    std::printf("write_while_reading_us: %.1f us\n", writeWhileReadingUs());
    return 0;
}
