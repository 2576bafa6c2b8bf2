#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class QSocketNotifier;

// Tells when hidraw devices come or go: a udev monitor watched on the event
// loop, or, where udev is not to be had, a look at the bus every second.
// Every notice only means "look again".
namespace orlu {

class DeviceMonitor : public QObject {
    Q_OBJECT
public:
    explicit DeviceMonitor(QObject *parent = nullptr);
    ~DeviceMonitor() override;

    bool usesUdev() const { return m_udev != nullptr; }

signals:
    // One per event from udev; one per poll tick without udev.
    void changed();
    void pollTick();

private:
    void readUdevEvents();

    struct Udev;
    std::unique_ptr<Udev> m_udev;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_poll;
};

} // namespace orlu
