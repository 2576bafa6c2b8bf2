#pragma once

#include "device/hidlayer.h"
#include "device/hidrawsysfs.h"

#include <memory>

// The HID layer on Linux hidraw: hidapi lists the devices; the held probe's
// node is opened here and read, written and closed by its own device thread,
// which waits on the node and a wake-up descriptor together.
namespace orlu {

class DeviceMonitor;
class DescriptorDeviceThread;

class HidrawLayer final : public HidLayer {
    Q_OBJECT
public:
    explicit HidrawLayer(QObject *parent = nullptr);
    ~HidrawLayer() override;

    QList<HidDeviceInfo> devices() const override { return m_devices; }
    bool takeProbeByTest(const HidDeviceTest &test) override;
    void releaseProbe() override;
    bool holdsProbe() const override { return m_thread != nullptr; }
    bool heldProbePluggedIn() const override;
    HidCapabilities capabilities() const override;
    bool writeOutputReport(const QByteArray &report, int *bytesWritten = nullptr) override;
    bool flushInputQueue() override;
    QString indexedString(int index) override;
    QString lastError() const override { return m_lastError; }

    // Brings the device list up to date; true when the set of devices changed.
    bool rescan();
    // The node of the held probe (/dev/hidraw3), empty when none is held.
    QString heldPath() const;
    // The end of lastError() when the probe is open in another program, which locks it.
    static QString heldElsewhereText();

private:
    bool take(const HidDeviceInfo &device);
    void onPollTick();

    QList<HidDeviceInfo> m_devices;
    std::unique_ptr<DescriptorDeviceThread> m_thread;
    QString m_heldPath;
    hidraw::ReportLayout m_layout;
    QString m_lastError;
    DeviceMonitor *m_monitor = nullptr;
};

// Whether any device with the probe's ids is on the bus.
bool hidrawProbePresent();

} // namespace orlu
