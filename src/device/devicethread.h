#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The one thread that owns an open device: it runs the jobs the main thread
// asks for (writes, flushes, string reads), produces input reports and hands
// each to the main thread, waiting there until it has been handled. A report
// still waiting when the main thread flushes or writes is dropped, so a late
// answer to one try is never taken for the answer to the next.
namespace orlu {

class DeviceThread {
public:
    using Receiver = std::function<void(int reportId, const QByteArray &data)>;

    // Reports are delivered through `context`'s event queue (the main thread);
    // none is delivered once `context` is gone.
    DeviceThread(QObject *context, Receiver receiver);
    virtual ~DeviceThread();
    DeviceThread(const DeviceThread &) = delete;
    DeviceThread &operator=(const DeviceThread &) = delete;

    void start();
    // Ends the thread and waits for it; a report waiting for the main thread is dropped.
    void stop();

    // Main thread: runs `job` on the device thread and waits for its result.
    bool call(std::function<bool()> job);
    // Main thread: drops a report that has been handed over but not yet handled.
    void discardWaitingReport();

protected:
    // The device's loop; returns when stopping() is true.
    virtual void run() = 0;
    // Wakes the loop when a job arrives (a loop blocked in the OS cannot be woken).
    virtual void wake() {}

    bool stopping() const;
    // Device thread: runs the jobs waiting now. Call with `lock` held.
    void runJobs(std::unique_lock<std::mutex> &lock);
    bool hasJobs() const { return !m_shared->jobs.empty(); }
    // Device thread: posts a report to the main thread. Call with `lock` held.
    quint64 post(int reportId, const QByteArray &data);
    // Device thread: waits until the posted report was handled or dropped,
    // running jobs meanwhile. Call with `lock` held.
    void waitHandled(std::unique_lock<std::mutex> &lock, quint64 seq);
    // Device thread: drops the report waiting for the main thread. Call with `lock` held.
    void dropWaitingLocked();
    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(m_shared->mutex); }
    std::condition_variable &condition() { return m_shared->wakeUp; }

private:
    struct Job {
        std::function<bool()> work;
        bool done = false;
        bool result = false;
    };
    // Shared with reports in flight in the main thread's queue, which may outlive the thread.
    struct Shared {
        std::mutex mutex;
        std::condition_variable wakeUp;   // the device thread waits on it
        std::condition_variable finished; // the main thread waits on it
        std::deque<std::shared_ptr<Job>> jobs;
        bool stop = false;
        bool waiting = false; // a report is posted and not yet handled
        quint64 seq = 0;
        int reportId = 0;
        QByteArray data;
        Receiver receiver;
    };
    static void deliver(const std::shared_ptr<Shared> &shared, quint64 seq);

    QObject *m_context = nullptr;
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

} // namespace orlu
