#include "device/hidrawlayer.h"

#include "device/descriptordevicethread.h"
#include "device/devicemonitor.h"

#include <hidapi.h>

#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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
    const int fd = ::open(device.path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_lastError = device.path + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // One program at a time talks to a probe: two would take each other's answers.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_lastError = device.path + u": "_s + heldElsewhereText();
        ::close(fd);
        return false;
    }
    const hidraw::ReportLayout layout = hidraw::reportLayout(device.path);
    auto thread = std::make_unique<DescriptorDeviceThread>(
        this, [this](int reportId, const QByteArray &data) { emit deviceData(reportId, data); }, fd, layout);
    if (!thread->isUsable()) {
        m_lastError = device.path + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_layout = layout;
    m_heldPath = device.path;
    m_thread = std::move(thread);
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
    // first, then the device itself through usbfs.
    const QString usbDir = hidraw::usbDeviceDirectory(m_heldPath);
    const QString text = hidraw::usbStringFromSysfs(usbDir, index);
    return text.isEmpty() ? hidraw::usbStringByControlTransfer(usbDir, index) : text;
}

QString HidrawLayer::heldElsewhereText() {
    return u"held by another program"_s;
}

QString HidrawLayer::heldPath() const {
    return m_heldPath;
}

bool hidrawProbePresent() {
    return !enumerate(ProbeVendorId, ProbeProductId).isEmpty();
}

} // namespace orlu
