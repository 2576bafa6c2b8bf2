#pragma once

#include "measure/measuringrun.h"
#include "support/virtualtime.h"

#include <QList>

#include <functional>

namespace orlu::test {

// An operator who puts the probe on each point shown a while after it is
// asked for and lifts it when the point is done. Readings follow what the
// operator does; hooks let a test step in at chosen moments.
class PointOperator final : public RunObserver {
public:
    explicit PointOperator(const VirtualTime &time)
        : m_time(time) {}

    // Reading units while the probe is on channel c; 0 while lifted.
    std::function<int(int channel)> onPoint = [](int c) { return 20 * (10 + c); };
    quint32 placeDelayMs = 300;
    // How long the probe stays on a point after it is done, per channel.
    std::function<quint32(int channel)> holdAfterDoneMs = [](int) { return 0; };
    // Lifts the probe this long after contact at the given attempt (0: never).
    std::function<quint32(int channel, int attempt)> liftAfterMs = [](int, int) { return 0; };

    std::function<void(int channel)> onWaiting;
    std::function<void(int channel, double value)> onDone;

    int reading() {
        const quint32 t = m_time.ticks();
        if (!m_onPoint && m_waiting && t - m_since >= placeDelayMs) {
            m_onPoint = true;
            m_since = t;
        }
        if (m_onPoint && m_measuring) {
            const quint32 lift = liftAfterMs(m_channel, m_attempts);
            if (lift > 0 && t - m_contactAt >= lift)
                m_onPoint = false;
        }
        if (m_onPoint && m_done && t - m_since >= holdAfterDoneMs(m_channel))
            m_onPoint = false;
        return m_onPoint ? onPoint(m_channel) : 0;
    }

    void pointShown(int channel) override { m_channel = channel; }
    void waitingForContact(int channel) override {
        m_channel = channel;
        m_waiting = true;
        m_measuring = false;
        m_done = false;
        m_since = m_time.ticks();
        waitingFor << channel;
        if (onWaiting)
            onWaiting(channel);
    }
    void contactMade(int channel) override {
        m_waiting = false;
        m_measuring = true;
        m_contactAt = m_time.ticks();
        ++m_attempts;
        contacts << channel;
    }
    void attemptDropped(int channel) override {
        m_measuring = false;
        dropped << channel;
    }
    void measuringSample(const MeasuringSample &s) override { samples << s; }
    void pointDone(int channel, double value) override {
        m_measuring = false;
        m_done = true;
        m_attempts = 0;
        m_since = m_time.ticks();
        done << channel;
        if (onDone)
            onDone(channel, value);
    }
    void statusChanged(const QString &text) override { statuses << text; }
    void stopRequested() override { ++stops; }
    void runStarted() override { ++started; }
    void runEnded() override { ++ended; }

    QList<int> waitingFor;
    QList<int> contacts;
    QList<int> dropped;
    QList<int> done;
    QList<MeasuringSample> samples;
    QStringList statuses;
    int stops = 0;
    int started = 0;
    int ended = 0;

private:
    const VirtualTime &m_time;
    int m_channel = 1;
    bool m_waiting = false;
    bool m_measuring = false;
    bool m_done = false;
    bool m_onPoint = false;
    int m_attempts = 0;
    quint32 m_since = 0;
    quint32 m_contactAt = 0;
};

} // namespace orlu::test
