#pragma once

#include "core/clock.h"
#include "device/hidlayer.h"
#include "device/simulatedprobe.h"

#include <memory>
#include <vector>

// The HID layer over simulated probes. Each taken probe gets its own device
// thread that turns output reports into input reports and hands them to the
// main thread exactly as the hardware backend's thread does.
namespace orlu {

class DeviceThread;

class SimulatedHidLayer final : public HidLayer {
    Q_OBJECT
public:
    enum class Timing {
        RealTime, // answers by itself, its latency counted on the steady clock from the write
        Stepped,  // answers only inside settle(): for virtual time in tests
    };

    SimulatedHidLayer(const Clock &clock, Timing timing, QObject *parent = nullptr);
    ~SimulatedHidLayer() override;

    // A new probe on the bus, plugged in; returns its index.
    int addProbe(SimulatedProbeOptions options = {});
    SimulatedProbe &probe(int index = 0);
    int probeCount() const { return static_cast<int>(m_probes.size()); }
    void unplug(int index = 0);
    void replug(int index = 0);
    bool isPluggedIn(int index = 0) const;
    // Index of the held probe, -1 when none.
    int heldIndex() const { return m_held; }

    // Stepped timing: lets the device thread finish what is due at the clock's
    // present time, up to handing over the next report. Called from the event
    // pump's settle hook; does nothing in real time.
    void settle();

    QList<HidDeviceInfo> devices() const override;
    bool takeProbeByTest(const HidDeviceTest &test) override;
    void releaseProbe() override;
    bool holdsProbe() const override { return m_held >= 0; }
    bool heldProbePluggedIn() const override;
    HidCapabilities capabilities() const override;
    bool writeOutputReport(const QByteArray &report, int *bytesWritten = nullptr) override;
    bool flushInputQueue() override;
    QString indexedString(int index) override;
    QString lastError() const override { return m_lastError; }

private:
    struct Slot {
        std::unique_ptr<SimulatedProbe> probe;
        bool plugged = true;
    };
    HidDeviceInfo infoOf(int index) const;
    bool take(int index);
    void announceChange();

    const Clock &m_clock;
    Timing m_timing;
    std::vector<Slot> m_probes;
    int m_held = -1;
    std::unique_ptr<DeviceThread> m_thread;
    QString m_lastError;
    bool m_heldStale = false; // the held probe left the bus, even if it is back by now
};

} // namespace orlu
