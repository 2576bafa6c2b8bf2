#pragma once

#include <QDateTime>
#include <QTimer>

// Everything that waits in this program (probe answers, measuring ticks,
// calibration, locating feedback) goes through these two interfaces, so
// tests can run the same loops in virtual time.
namespace orlu {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds of a 32-bit tick counter that wraps; compare with elapsedSince().
    virtual quint32 ticks() const = 0;
    virtual QDateTime now() const = 0;

    quint32 elapsedSince(quint32 start) const { return ticks() - start; }
};

class EventPump {
public:
    virtual ~EventPump() = default;
    // Handles pending events (user input, probe reports); when none is pending,
    // sleeps until one arrives, but not longer than maxWaitMs.
    virtual void pump(int maxWaitMs) = 0;
};

// Pumps events until `done` returns true or timeoutMs have passed; returns `done()`.
template <typename Predicate>
bool waitUntil(const Clock &clock, EventPump &pump, quint32 timeoutMs, Predicate done, int stepMs = 10) {
    const quint32 start = clock.ticks();
    while (!done()) {
        if (clock.elapsedSince(start) >= timeoutMs)
            return done();
        pump.pump(stepMs);
    }
    return true;
}

// Pumps events for ms milliseconds.
void waitFor(const Clock &clock, EventPump &pump, quint32 ms, int stepMs = 10);

class SystemClock final : public Clock {
public:
    quint32 ticks() const override;
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class QtEventPump final : public EventPump {
public:
    QtEventPump();
    void pump(int maxWaitMs) override;

private:
    QTimer m_wake;
};

} // namespace orlu
