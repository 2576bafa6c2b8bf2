#pragma once

#include "core/clock.h"

#include <functional>
#include <vector>

namespace orlu::test {

// A clock that only moves when the code under test waits. pump() handles the
// pending events, lets registered settle hooks finish work in flight (a
// simulated probe thread answering a command), then advances time by the wait.
class VirtualTime final : public Clock, public EventPump {
public:
    explicit VirtualTime(QDateTime start = QDateTime(QDate(2026, 12, 9), QTime(10, 0)), quint32 ticks = 1000);

    quint32 ticks() const override { return m_ticks; }
    QDateTime now() const override { return m_start.addMSecs(m_ticks - m_startTicks); }
    void pump(int maxWaitMs) override;

    void advance(quint32 ms) { m_ticks += ms; }
    void addSettleHook(std::function<void()> hook) { m_settle.push_back(std::move(hook)); }
    // Called on every pump, after the events, before time moves on.
    void setOnPump(std::function<void(quint32 ticks)> f) { m_onPump = std::move(f); }

private:
    QDateTime m_start;
    quint32 m_startTicks;
    quint32 m_ticks;
    std::vector<std::function<void()>> m_settle;
    std::function<void(quint32)> m_onPump;
};

} // namespace orlu::test
