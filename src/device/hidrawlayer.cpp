#include "device/hidrawlayer.h"

#include "device/devicemonitor.h"
#include "device/devicethread.h"

#include <hidapi.h>

#include <QDateTime>
#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <cstring>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

QString fromWide(const wchar_t *text) {
    return text ? QString::fromWCharArray(text) : QString();
}

// hidapi is initialised once for the process and released at its end.
struct HidApiLibrary {
    HidApiLibrary() { hid_init(); }
    ~HidApiLibrary() { hid_exit(); }
};

void ensureHidApi() {
    static HidApiLibrary library;
}

QList<HidDeviceInfo> enumerate(quint16 vendorId, quint16 productId) {
    ensureHidApi();
    QList<HidDeviceInfo> list;
    hid_device_info *all = hid_enumerate(vendorId, productId);
    for (hid_device_info *d = all; d; d = d->next) {
        HidDeviceInfo info;
        info.path = QString::fromLocal8Bit(d->path);
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.product = fromWide(d->product_string);
        list.append(info);
    }
    hid_free_enumeration(all);
    return list;
}

} // namespace

// Owns one open hidraw device: reads it, writes what the main thread asks
// for, and closes it when stopped.
class HidrawDeviceThread final : public DeviceThread {
public:
    HidrawDeviceThread(QObject *context, Receiver receiver, hid_device *device, hidraw::ReportLayout layout)
        : DeviceThread(context, std::move(receiver))
        , m_device(device)
        , m_layout(layout) {}
    ~HidrawDeviceThread() override { stop(); }

    bool lost() const { return m_lost; }

    bool write(const QByteArray &report) {
        return call([this, report] {
            m_lastActivity = now();
            drain();
            const int n = hid_write(m_device, reinterpret_cast<const unsigned char *>(report.constData()),
                                    static_cast<size_t>(report.size()));
            if (n < 0)
                m_lost = true; // a device that cannot take a write is gone or broken; the next rescan tells
            return n == report.size();
        });
    }

    bool flush() {
        return call([this] {
            drain();
            return true;
        });
    }

    QString indexedString(int index) {
        QString text;
        call([&] {
            wchar_t buffer[256] = {};
            if (hid_get_indexed_string(m_device, index, buffer, 255) == 0)
                text = QString::fromWCharArray(buffer).left(254);
            return true;
        });
        return text;
    }

protected:
    void run() override {
        // Unnumbered reports come without their id byte: room for it in front.
        QByteArray buffer(qMax(2, m_layout.inputLength), '\0');
        auto guard = lock();
        while (!stopping()) {
            runJobs(guard);
            if (stopping())
                break;
            guard.unlock();
            // The device cannot be woken from a read: short reads while the probe is in use keep
            // writes prompt, longer ones when it is idle keep the thread quiet.
            const int timeoutMs = now() - m_lastActivity < 2000 ? 1 : 20;
            unsigned char *data =
                reinterpret_cast<unsigned char *>(buffer.data()) + (m_layout.numbered ? 0 : 1);
            const size_t room = static_cast<size_t>(buffer.size() - (m_layout.numbered ? 0 : 1));
            std::memset(buffer.data(), 0, static_cast<size_t>(buffer.size()));
            const int n = hid_read_timeout(m_device, data, room, timeoutMs);
            guard.lock();
            if (n > 0) {
                const int total = n + (m_layout.numbered ? 0 : 1);
                const QByteArray report = buffer.left(total);
                const quint64 seq = post(static_cast<quint8>(report.at(0)), report.mid(1));
                waitHandled(guard, seq);
            } else if (n < 0) {
                m_lost = true;
                condition().wait_for(guard, std::chrono::milliseconds(100));
            }
        }
        guard.unlock();
        hid_close(m_device);
    }

private:
    static qint64 now() { return QDateTime::currentMSecsSinceEpoch(); }

    // Reports queued before this write are answers to something earlier.
    void drain() {
        unsigned char scratch[4096];
        const size_t room = static_cast<size_t>(qBound(2, m_layout.inputLength, 4096));
        for (int i = 0; i < 256 && hid_read_timeout(m_device, scratch, room, 0) > 0; ++i) {
        }
        auto guard = lock();
        dropWaitingLocked();
    }

    hid_device *m_device;
    hidraw::ReportLayout m_layout;
    std::atomic<bool> m_lost{false};
    std::atomic<qint64> m_lastActivity{0};
};

HidrawLayer::HidrawLayer(QObject *parent)
    : HidLayer(parent) {
    ensureHidApi();
    rescan();
    m_monitor = new DeviceMonitor(this);
    connect(m_monitor, &DeviceMonitor::changed, this, [this] {
        rescan();
        emit deviceChange();
    });
    connect(m_monitor, &DeviceMonitor::pollTick, this, &HidrawLayer::onPollTick);
}

HidrawLayer::~HidrawLayer() {
    m_thread.reset();
}

void HidrawLayer::onPollTick() {
    const bool changed = rescan();
    const bool heldLost = m_thread && !heldProbePluggedIn();
    const bool untakenProbe = !m_thread && std::any_of(m_devices.begin(), m_devices.end(), isProbe);
    if (changed || heldLost || untakenProbe)
        emit deviceChange();
}

bool HidrawLayer::rescan() {
    QList<HidDeviceInfo> fresh = enumerate(0, 0);
    bool heldPresent = false;
    for (HidDeviceInfo &d : fresh) {
        d.held = m_thread && d.path == m_heldPath;
        heldPresent = heldPresent || d.held;
    }
    if (m_thread && !heldPresent) {
        HidDeviceInfo gone;
        gone.path = m_heldPath;
        gone.vendorId = ProbeVendorId;
        gone.productId = ProbeProductId;
        gone.pluggedIn = false;
        gone.held = true;
        fresh.append(gone);
    }
    auto paths = [](const QList<HidDeviceInfo> &l) {
        QStringList p;
        for (const auto &d : l)
            p << d.path + (d.pluggedIn ? u"+"_s : u"-"_s);
        p.sort();
        return p;
    };
    const bool changed = paths(fresh) != paths(m_devices);
    m_devices = fresh;
    return changed;
}

bool HidrawLayer::take(const HidDeviceInfo &device) {
    hid_device *handle = hid_open_path(device.path.toLocal8Bit().constData());
    if (!handle) {
        const int error = errno;
        // hidapi's own text names the path and the reason; errno is the fallback.
        const QString reason = fromWide(hid_error(nullptr));
        m_lastError =
            reason.isEmpty() ? device.path + u": "_s + QString::fromLocal8Bit(std::strerror(error)) : reason;
        return false;
    }
    m_layout = hidraw::reportLayout(device.path);
    m_heldPath = device.path;
    m_thread = std::make_unique<HidrawDeviceThread>(
        this, [this](int reportId, const QByteArray &data) { emit deviceData(reportId, data); }, handle,
        m_layout);
    m_thread->start();
    m_lastError.clear();
    for (HidDeviceInfo &d : m_devices)
        d.held = d.path == m_heldPath;
    return true;
}

bool HidrawLayer::takeProbeByTest(const HidDeviceTest &test) {
    if (m_thread)
        return false;
    m_lastError.clear(); // only a failure of this attempt is worth telling
    for (const HidDeviceInfo &d : std::as_const(m_devices)) {
        if (d.pluggedIn && !d.held && test(d) && take(d))
            return true;
    }
    return false;
}

void HidrawLayer::releaseProbe() {
    m_thread.reset();
    m_heldPath.clear();
    m_devices.removeIf([](const HidDeviceInfo &d) { return !d.pluggedIn; });
    for (HidDeviceInfo &d : m_devices)
        d.held = false;
}

bool HidrawLayer::heldProbePluggedIn() const {
    if (!m_thread || m_thread->lost())
        return false;
    return std::any_of(m_devices.begin(), m_devices.end(),
                       [&](const HidDeviceInfo &d) { return d.held && d.pluggedIn; });
}

HidCapabilities HidrawLayer::capabilities() const {
    if (!m_thread)
        return {};
    return {m_layout.inputLength, m_layout.outputLength};
}

bool HidrawLayer::writeOutputReport(const QByteArray &report, int *bytesWritten) {
    if (bytesWritten)
        *bytesWritten = 0;
    if (!m_thread)
        return false;
    const bool ok = m_thread->write(report);
    if (bytesWritten && ok)
        *bytesWritten = static_cast<int>(report.size());
    m_lastError = ok ? QString() : m_heldPath + u": write failed"_s;
    return ok;
}

bool HidrawLayer::flushInputQueue() {
    return m_thread && m_thread->flush();
}

QString HidrawLayer::indexedString(int index) {
    if (!m_thread)
        return {};
    // hidraw cannot ask the device for a string: the kernel's copies in sysfs
    // first, then the device itself through usbfs, then hidapi for other backends.
    const QString usbDir = hidraw::usbDeviceDirectory(m_heldPath);
    QString text = hidraw::usbStringFromSysfs(usbDir, index);
    if (text.isEmpty())
        text = hidraw::usbStringByControlTransfer(usbDir, index);
    if (text.isEmpty())
        text = m_thread->indexedString(index);
    return text;
}

bool hidrawProbePresent() {
    return !enumerate(ProbeVendorId, ProbeProductId).isEmpty();
}

} // namespace orlu
