#include "device/descriptordevicethread.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace orlu {

namespace {
constexpr int DrainLimit = 256; // a device that keeps talking must not keep a write waiting
} // namespace

DescriptorDeviceThread::DescriptorDeviceThread(QObject *context, Receiver receiver, int fd,
                                               hidraw::ReportLayout layout)
    : DeviceThread(context, std::move(receiver))
    , m_fd(fd)
    , m_wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
    , m_layout(layout)
    // Unnumbered reports come without their id byte: room for it in front.
    , m_buffer(qMax(2, layout.inputLength + (layout.numbered ? 0 : 1)), '\0') {}

DescriptorDeviceThread::~DescriptorDeviceThread() {
    stop();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    if (m_fd >= 0)
        ::close(m_fd);
}

void DescriptorDeviceThread::wake() {
    const quint64 one = 1;
    // A full counter still wakes the thread; nothing else can go wrong here.
    [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
}

bool DescriptorDeviceThread::write(const QByteArray &report) {
    return call([this, report] {
        if (m_lost)
            return false;
        drain();
        const ssize_t n = ::write(m_fd, report.constData(), static_cast<size_t>(report.size()));
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            m_lost = true;
        return n == report.size();
    });
}

bool DescriptorDeviceThread::flush() {
    return call([this] {
        drain();
        return true;
    });
}

void DescriptorDeviceThread::drain() {
    if (!m_lost) {
        for (int i = 0; i < DrainLimit; ++i) {
            const ssize_t n = ::read(m_fd, m_buffer.data(), static_cast<size_t>(m_buffer.size()));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN)
                m_lost = true;
            if (n <= 0)
                break;
        }
    }
    auto guard = lock();
    dropWaitingLocked();
}

void DescriptorDeviceThread::readReport(std::unique_lock<std::mutex> &guard, bool hungUp) {
    const int offset = m_layout.numbered ? 0 : 1;
    std::memset(m_buffer.data(), 0, static_cast<size_t>(m_buffer.size()));
    guard.unlock();
    const ssize_t n = ::read(m_fd, m_buffer.data() + offset, static_cast<size_t>(m_buffer.size() - offset));
    const int error = errno;
    guard.lock();
    if (n > 0) {
        const QByteArray report = m_buffer.left(static_cast<qsizetype>(n) + offset);
        const quint64 seq = post(static_cast<quint8>(report.at(0)), report.mid(1));
        waitHandled(guard, seq);
        return;
    }
    // An empty report is not handed over; an end of file or an error means the device is gone.
    if ((n == 0 && hungUp) || (n < 0 && error != EAGAIN && error != EINTR))
        m_lost = true;
}

void DescriptorDeviceThread::run() {
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    auto guard = lock();
    while (!stopping()) {
        runJobs(guard);
        if (stopping())
            break;
        // A lost device is not watched any more (poll would report its hang-up for ever);
        // jobs and the stop still wake the thread.
        fds[0].fd = m_lost ? -1 : m_fd;
        fds[0].revents = fds[1].revents = 0;
        guard.unlock();
        const int ready = ::poll(fds, 2, -1);
        guard.lock();
        if (ready < 0) {
            if (errno != EINTR)
                m_lost = true;
            continue;
        }
        if (fds[1].revents & POLLIN) {
            quint64 count = 0;
            [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &count, sizeof count);
        }
        const bool hungUp = fds[0].revents & (POLLHUP | POLLERR | POLLNVAL);
        if (fds[0].revents & POLLIN)
            readReport(guard, hungUp);
        else if (hungUp)
            m_lost = true;
    }
}

} // namespace orlu
