#include "device/devicemonitor.h"

#include <QSocketNotifier>

#ifdef ORLU_HAVE_UDEV
#include <libudev.h>
#endif

namespace orlu {

namespace {
constexpr int PollIntervalMs = 1000;
}

struct DeviceMonitor::Udev {
#ifdef ORLU_HAVE_UDEV
    udev *context = nullptr;
    udev_monitor *monitor = nullptr;
    ~Udev() {
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
    }
#endif
};

DeviceMonitor::DeviceMonitor(QObject *parent)
    : QObject(parent) {
#ifdef ORLU_HAVE_UDEV
    auto u = std::make_unique<Udev>();
    u->context = udev_new();
    if (u->context)
        u->monitor = udev_monitor_new_from_netlink(u->context, "udev");
    if (u->monitor && udev_monitor_filter_add_match_subsystem_devtype(u->monitor, "hidraw", nullptr) >= 0 &&
        udev_monitor_enable_receiving(u->monitor) >= 0) {
        const int fd = udev_monitor_get_fd(u->monitor);
        m_udev = std::move(u);
        m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &DeviceMonitor::readUdevEvents);
    }
#endif
    // The poll also runs with udev: it is how an unopenable probe gets tried again.
    m_poll.setInterval(PollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &DeviceMonitor::pollTick);
    m_poll.start();
}

DeviceMonitor::~DeviceMonitor() = default;

void DeviceMonitor::readUdevEvents() {
#ifdef ORLU_HAVE_UDEV
    while (udev_device *device = udev_monitor_receive_device(m_udev->monitor)) {
        udev_device_unref(device);
        emit changed();
    }
#endif
}

} // namespace orlu
