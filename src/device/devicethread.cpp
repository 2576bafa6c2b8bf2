#include "device/devicethread.h"

#include <QMetaObject>
#include <QPointer>

namespace orlu {

DeviceThread::DeviceThread(QObject *context, Receiver receiver)
    : m_context(context)
    , m_shared(std::make_shared<Shared>()) {
    m_shared->receiver = std::move(receiver);
}

DeviceThread::~DeviceThread() {
    // Subclasses stop the thread in their destructor, while their members live.
    Q_ASSERT(!m_thread.joinable());
}

void DeviceThread::start() {
    m_thread = std::thread([this] { run(); });
}

void DeviceThread::stop() {
    {
        std::lock_guard guard(m_shared->mutex);
        m_shared->stop = true;
        m_shared->waiting = false;
        for (auto &job : m_shared->jobs)
            job->done = true;
        m_shared->jobs.clear();
    }
    m_shared->wakeUp.notify_all();
    m_shared->finished.notify_all();
    wake();
    if (m_thread.joinable())
        m_thread.join();
}

bool DeviceThread::call(std::function<bool()> job) {
    auto entry = std::make_shared<Job>();
    entry->work = std::move(job);
    std::unique_lock guard(m_shared->mutex);
    if (m_shared->stop || !m_thread.joinable())
        return false;
    m_shared->jobs.push_back(entry);
    m_shared->wakeUp.notify_all();
    guard.unlock();
    wake();
    guard.lock();
    m_shared->finished.wait(guard, [&] { return entry->done; });
    return entry->result;
}

void DeviceThread::discardWaitingReport() {
    std::lock_guard guard(m_shared->mutex);
    dropWaitingLocked();
}

void DeviceThread::dropWaitingLocked() {
    if (m_shared->waiting) {
        m_shared->waiting = false;
        m_shared->wakeUp.notify_all();
    }
}

bool DeviceThread::stopping() const {
    return m_shared->stop;
}

void DeviceThread::runJobs(std::unique_lock<std::mutex> &lock) {
    while (!m_shared->jobs.empty() && !m_shared->stop) {
        auto job = m_shared->jobs.front();
        m_shared->jobs.pop_front();
        lock.unlock();
        const bool result = job->work();
        lock.lock();
        job->result = result;
        job->done = true;
        m_shared->finished.notify_all();
    }
}

quint64 DeviceThread::post(int reportId, const QByteArray &data) {
    const quint64 seq = ++m_shared->seq;
    m_shared->waiting = true;
    m_shared->reportId = reportId;
    m_shared->data = data;
    std::shared_ptr<Shared> shared = m_shared;
    QMetaObject::invokeMethod(
        m_context, [shared, seq] { deliver(shared, seq); }, Qt::QueuedConnection);
    return seq;
}

void DeviceThread::waitHandled(std::unique_lock<std::mutex> &lock, quint64 seq) {
    for (;;) {
        runJobs(lock);
        if (m_shared->stop || !m_shared->waiting || m_shared->seq != seq)
            return;
        m_shared->wakeUp.wait(lock);
    }
}

void DeviceThread::deliver(const std::shared_ptr<Shared> &shared, quint64 seq) {
    std::unique_lock guard(shared->mutex);
    if (!shared->waiting || shared->seq != seq || shared->stop)
        return;
    const int reportId = shared->reportId;
    const QByteArray data = std::exchange(shared->data, {});
    guard.unlock();
    shared->receiver(reportId, data);
    guard.lock();
    if (shared->seq == seq && shared->waiting) {
        shared->waiting = false;
        shared->wakeUp.notify_all();
    }
}

} // namespace orlu
