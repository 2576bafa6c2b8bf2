#include "device/simulatedhidlayer.h"

#include "device/devicethread.h"

#include <QMetaObject>

#include <atomic>
#include <chrono>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

// The simulated probe's firmware loop: commands come in as write jobs, answers
// go out when their latency has passed, one hand-over at a time.
class SimulatedDeviceThread final : public DeviceThread {
public:
    SimulatedDeviceThread(QObject *context, Receiver receiver, SimulatedProbe &probe, const Clock &clock,
                          SimulatedHidLayer::Timing timing)
        : DeviceThread(context, std::move(receiver))
        , m_probe(probe)
        , m_clock(clock)
        , m_timing(timing) {}
    ~SimulatedDeviceThread() override { stop(); }

    // Main thread; the main thread waits in call() meanwhile, so reading the clock here is safe.
    bool write(const QByteArray &report, int inputLength) {
        // The answer's latency runs from the host's write, not from when this thread gets to it.
        const SteadyClock::time_point writtenAt = SteadyClock::now();
        return call([this, report, inputLength, writtenAt] {
            if (!m_connected || !m_probe.acceptWrite())
                return false;
            const Moment now = moment();
            auto guard = lock();
            dropDue(now);
            guard.unlock();
            std::optional<QByteArray> answer = m_probe.receive(commandOfReport(report.mid(1)), now.ticks);
            if (answer) {
                const QByteArray data = answerReportData(*answer, inputLength - 1);
                const int latencyMs = m_probe.latency();
                guard.lock();
                m_pending.push_back({now.ticks + static_cast<quint32>(latencyMs),
                                     writtenAt + std::chrono::milliseconds(latencyMs), data});
                condition().notify_all();
            }
            return true;
        });
    }

    bool flush() {
        return call([this] {
            const Moment now = moment();
            auto guard = lock();
            dropDue(now);
            return true;
        });
    }

    // Main thread: the probe left the bus; nothing it had in flight arrives.
    void disconnect() {
        m_connected = false;
        {
            auto guard = lock();
            m_pending.clear();
        }
        discardWaitingReport();
    }

    // Main thread, stepped timing only.
    void settle() {
        auto guard = lock();
        if (stopping() || m_parked)
            return;
        m_grantNow = m_clock.ticks();
        m_grant = true;
        condition().notify_all();
        m_settled.wait(guard, [this] { return !m_grant || m_parked || stopping(); });
    }

protected:
    void run() override {
#ifdef Q_OS_LINUX
        // The kernel may round a sleeping thread's wake-up up by its timer slack (50 us by
        // default); an answer due in 1 ms is to come then, not a twentieth later.
        if (m_timing == SimulatedHidLayer::Timing::RealTime)
            prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
        auto guard = lock();
        while (!stopping()) {
            runJobs(guard);
            if (stopping())
                break;
            if (m_timing == SimulatedHidLayer::Timing::Stepped) {
                if (m_grant) {
                    std::optional<quint64> seq = postDue(Moment{m_grantNow, {}});
                    m_parked = seq.has_value();
                    m_grant = false;
                    m_settled.notify_all();
                    if (seq)
                        waitHandled(guard, *seq);
                    m_parked = false;
                    continue;
                }
                condition().wait(guard);
                continue;
            }
            if (std::optional<quint64> seq = postDue(moment())) {
                waitHandled(guard, *seq);
                continue;
            }
            // Sleeps to the answer's due moment itself; a job or a stop wakes it earlier.
            if (m_pending.empty())
                condition().wait(guard);
            else
                condition().wait_until(guard, m_pending.front().dueAt);
        }
        m_settled.notify_all();
    }

    void wake() override {
        auto guard = lock();
        condition().notify_all();
    }

private:
    using SteadyClock = std::chrono::steady_clock;

    // Stepped timing keeps to the layer's (virtual) clock; real time to the
    // steady clock, finer than the clock's whole milliseconds.
    struct Moment {
        quint32 ticks;
        SteadyClock::time_point at;
    };
    struct Pending {
        quint32 due;
        SteadyClock::time_point dueAt;
        QByteArray data;
    };

    Moment moment() const {
        return {m_clock.ticks(), m_timing == SimulatedHidLayer::Timing::RealTime ? SteadyClock::now()
                                                                                 : SteadyClock::time_point{}};
    }

    bool isDue(const Pending &p, const Moment &now) const {
        if (m_timing == SimulatedHidLayer::Timing::Stepped)
            return static_cast<qint32>(now.ticks - p.due) >= 0;
        return now.at >= p.dueAt;
    }

    // Answers already due sit in the host's queue: a flush or a new write drops them.
    void dropDue(const Moment &now) {
        while (!m_pending.empty() && isDue(m_pending.front(), now))
            m_pending.pop_front();
        dropWaitingLocked();
    }

    std::optional<quint64> postDue(const Moment &now) {
        if (m_pending.empty() || !isDue(m_pending.front(), now) || !m_connected)
            return std::nullopt;
        QByteArray data = std::move(m_pending.front().data);
        m_pending.pop_front();
        return post(0, data);
    }

    SimulatedProbe &m_probe;
    const Clock &m_clock;
    SimulatedHidLayer::Timing m_timing;
    std::deque<Pending> m_pending;
    std::atomic<bool> m_connected{true};
    bool m_grant = false;
    bool m_parked = false; // a report waits for the main thread
    quint32 m_grantNow = 0;
    std::condition_variable m_settled;
};

} // namespace

SimulatedHidLayer::SimulatedHidLayer(const Clock &clock, Timing timing, QObject *parent)
    : HidLayer(parent)
    , m_clock(clock)
    , m_timing(timing) {}

SimulatedHidLayer::~SimulatedHidLayer() {
    m_thread.reset();
}

int SimulatedHidLayer::addProbe(SimulatedProbeOptions options) {
    m_probes.push_back({std::make_unique<SimulatedProbe>(std::move(options)), true});
    announceChange();
    return probeCount() - 1;
}

SimulatedProbe &SimulatedHidLayer::probe(int index) {
    return *m_probes.at(static_cast<size_t>(index)).probe;
}

static SimulatedDeviceThread *simThread(const std::unique_ptr<DeviceThread> &t) {
    return static_cast<SimulatedDeviceThread *>(t.get());
}

void SimulatedHidLayer::unplug(int index) {
    Slot &slot = m_probes.at(static_cast<size_t>(index));
    if (!slot.plugged)
        return;
    slot.plugged = false;
    if (index == m_held && m_thread) {
        m_heldStale = true;
        simThread(m_thread)->disconnect();
    }
    announceChange();
}

void SimulatedHidLayer::replug(int index) {
    Slot &slot = m_probes.at(static_cast<size_t>(index));
    if (slot.plugged)
        return;
    slot.plugged = true;
    announceChange();
}

bool SimulatedHidLayer::isPluggedIn(int index) const {
    return m_probes.at(static_cast<size_t>(index)).plugged;
}

void SimulatedHidLayer::announceChange() {
    // Like the operating system's notice: it arrives through the event loop, one per change.
    QMetaObject::invokeMethod(
        this, [this] { emit deviceChange(); }, Qt::QueuedConnection);
}

void SimulatedHidLayer::settle() {
    if (m_timing == Timing::Stepped && m_thread)
        simThread(m_thread)->settle();
}

HidDeviceInfo SimulatedHidLayer::infoOf(int index) const {
    HidDeviceInfo info;
    info.path = u"sim:%1"_s.arg(index + 1);
    info.vendorId = ProbeVendorId;
    info.productId = ProbeProductId;
    info.product = u"Simulated probe"_s;
    info.pluggedIn = m_probes[static_cast<size_t>(index)].plugged && !(index == m_held && m_heldStale);
    info.held = index == m_held;
    return info;
}

QList<HidDeviceInfo> SimulatedHidLayer::devices() const {
    QList<HidDeviceInfo> list;
    for (int i = 0; i < probeCount(); ++i) {
        if (m_probes[static_cast<size_t>(i)].plugged || i == m_held)
            list.append(infoOf(i));
    }
    return list;
}

bool SimulatedHidLayer::take(int index) {
    SimulatedProbe &p = probe(index);
    m_held = index;
    m_heldStale = false;
    auto thread = std::make_unique<SimulatedDeviceThread>(
        this, [this](int reportId, const QByteArray &data) { emit deviceData(reportId, data); }, p, m_clock,
        m_timing);
    thread->start();
    m_thread = std::move(thread);
    m_lastError.clear();
    return true;
}

bool SimulatedHidLayer::takeProbeByTest(const HidDeviceTest &test) {
    if (m_held >= 0)
        return false;
    for (int i = 0; i < probeCount(); ++i) {
        if (m_probes[static_cast<size_t>(i)].plugged && test(infoOf(i)))
            return take(i);
    }
    return false;
}

void SimulatedHidLayer::releaseProbe() {
    m_thread.reset();
    m_held = -1;
    m_heldStale = false;
}

bool SimulatedHidLayer::heldProbePluggedIn() const {
    return m_held >= 0 && m_probes[static_cast<size_t>(m_held)].plugged && !m_heldStale;
}

HidCapabilities SimulatedHidLayer::capabilities() const {
    if (m_held < 0)
        return {};
    const SimulatedProbeOptions &o = m_probes[static_cast<size_t>(m_held)].probe->options();
    return {o.inputReportLength, o.outputReportLength};
}

bool SimulatedHidLayer::writeOutputReport(const QByteArray &report, int *bytesWritten) {
    if (bytesWritten)
        *bytesWritten = 0;
    if (!m_thread)
        return false;
    const bool ok = simThread(m_thread)->write(report, capabilities().inputReportLength);
    if (bytesWritten && ok)
        *bytesWritten = static_cast<int>(report.size());
    m_lastError = ok ? QString() : u"write failed"_s;
    return ok;
}

bool SimulatedHidLayer::flushInputQueue() {
    return m_thread && simThread(m_thread)->flush();
}

QString SimulatedHidLayer::indexedString(int index) {
    if (m_held < 0 || !heldProbePluggedIn())
        return {};
    const SimulatedProbe &p = probe(m_held);
    switch (index) {
    case 1:
        return u"Quorix"_s;
    case 2:
        return u"O.R.L.U. Probe"_s;
    case 3:
        return p.hardwareVersion();
    default:
        return {};
    }
}

} // namespace orlu
