#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

// The program's view of the USB HID bus: a list of present devices, at most
// one held probe, its report sizes, output reports, input reports and plug
// events. Backends: the hidraw one for the real probe, the simulated one.
namespace orlu {

constexpr quint16 ProbeVendorId = 51493;  // 0xC925
constexpr quint16 ProbeProductId = 41263; // 0xA12F

struct HidDeviceInfo {
    QString path; // the backend's identity of the device (/dev/hidraw3, sim:1)
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString product;
    bool pluggedIn = true;
    bool held = false;
};

// Report lengths in bytes, both including the leading report id byte.
struct HidCapabilities {
    int inputReportLength = 0;
    int outputReportLength = 0;
};

using HidDeviceTest = std::function<bool(const HidDeviceInfo &)>;

bool isProbe(const HidDeviceInfo &device);

class HidLayer : public QObject {
    Q_OBJECT
public:
    explicit HidLayer(QObject *parent = nullptr)
        : QObject(parent) {}
    ~HidLayer() override = default;

    // Present devices as of the last rescan; a held device that has gone stays
    // listed with pluggedIn false until it is released.
    virtual QList<HidDeviceInfo> devices() const = 0;

    // Take the first present device that is not held and matches; the held
    // probe becomes that device. False when none matches or it cannot be opened.
    virtual bool takeProbeById(quint16 vendorId, quint16 productId);
    virtual bool takeProbeByTest(const HidDeviceTest &test) = 0;
    // Closes the held device and stops its thread; nothing held afterwards.
    virtual void releaseProbe() = 0;

    virtual bool holdsProbe() const = 0;
    virtual bool heldProbePluggedIn() const = 0;
    virtual HidCapabilities capabilities() const = 0;

    // One synchronous write of a whole output report (byte 0 is the report id).
    virtual bool writeOutputReport(const QByteArray &report, int *bytesWritten = nullptr) = 0;
    // Discards input reports already queued for the held device.
    virtual bool flushInputQueue() = 0;
    // The USB string with that index, empty when the device gives none.
    virtual QString indexedString(int index) = 0;

    // Why the last take or write failed ("Permission denied"), empty when it did not.
    virtual QString lastError() const = 0;

signals:
    // After every change in the set of present devices, once the list is up to date.
    void deviceChange();
    // One per input report of the held probe, on the main thread. The device's
    // thread waits until every slot has returned.
    void deviceData(int reportId, const QByteArray &data);
};

} // namespace orlu
