#pragma once

#include "device/devicethread.h"
#include "device/hidrawsysfs.h"

#include <atomic>

// The device thread of a device reached through a file descriptor (a hidraw
// node; in tests, one end of a socket pair): one read gives one input report,
// one write takes one output report. The thread sleeps in poll() on the
// descriptor and on an eventfd that the main thread signals when it has a job,
// so a write asked for while a read waits is done at once.
namespace orlu {

class DescriptorDeviceThread final : public DeviceThread {
public:
    // Takes `fd` over (it is closed when the thread ends); the descriptor should be
    // non-blocking. With `layout.numbered` false, reports come without their id
    // byte, and id 0 is put in front.
    DescriptorDeviceThread(QObject *context, Receiver receiver, int fd, hidraw::ReportLayout layout);
    ~DescriptorDeviceThread() override;

    // False when the wake-up descriptor could not be made; start() must not be called then.
    bool isUsable() const { return m_wakeFd >= 0; }
    // The device hung up, failed a read or a write: it is gone or broken.
    bool lost() const { return m_lost; }

    // Main thread: one whole output report, byte 0 its id. Reports queued
    // before it are answers to something earlier and are dropped.
    bool write(const QByteArray &report);
    // Main thread: drops the input reports queued so far.
    bool flush();

protected:
    void run() override;
    void wake() override;

private:
    // Device thread: reads what is queued without handing it over.
    void drain();
    // Device thread: reads one report; hands it over unless it is empty.
    void readReport(std::unique_lock<std::mutex> &guard, bool hungUp);

    int m_fd;
    int m_wakeFd;
    hidraw::ReportLayout m_layout;
    QByteArray m_buffer;
    std::atomic<bool> m_lost{false};
};

} // namespace orlu
