#pragma once

#include "device/hidlayer.h"
#include "device/hidrawsysfs.h"

#include <memory>

// The HID layer over the installed hidapi on Linux hidraw. hidapi may not read
// and write one device from two threads, nor close it under a reader, so the
// device's own thread does all three; enumeration and opening stay on the main
// thread, where hidapi's global error text is read.
namespace orlu {

class DeviceMonitor;
class HidrawDeviceThread;

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

private:
    bool take(const HidDeviceInfo &device);
    void onPollTick();

    QList<HidDeviceInfo> m_devices;
    std::unique_ptr<HidrawDeviceThread> m_thread;
    QString m_heldPath;
    hidraw::ReportLayout m_layout;
    QString m_lastError;
    DeviceMonitor *m_monitor = nullptr;
};

// Whether any device with the probe's ids is on the bus.
bool hidrawProbePresent();

} // namespace orlu
