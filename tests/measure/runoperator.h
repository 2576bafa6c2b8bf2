#pragma once

#include "measure/measuringrun.h"
#include "support/virtualtime.h"

#include <functional>

namespace orlu::test {

// An operator that watches the run's state rather than its reports, so it can
// work beside the window that observes the run: it puts the probe on the point
// a while after the run waits for contact and lifts it when the point is done.
class RunOperator {
public:
    RunOperator(const VirtualTime &time, const MeasuringRun &run)
        : m_time(time)
        , m_run(run) {}

    std::function<int(int channel)> onPoint = [](int c) { return 20 * (10 + c); };
    quint32 placeDelayMs = 300;
    std::function<quint32(int channel)> holdAfterDoneMs = [](int) { return 0; };
    // Called on every reading with the run's state, for tests that act mid-run.
    std::function<void(RunState state, int channel, quint32 sinceStateMs)> onReading;

    int reading() {
        const RunState state = m_run.state();
        const quint32 now = m_time.ticks();
        if (state != m_state) {
            m_state = state;
            m_since = now;
        }
        const quint32 since = now - m_since;
        if (onReading)
            onReading(state, m_run.currentChannel(), since);
        bool on = false;
        switch (state) {
        case RunState::WaitingForContact:
            on = since >= placeDelayMs;
            break;
        case RunState::Measuring:
            on = true;
            break;
        case RunState::WaitingForRelease:
            on = since < holdAfterDoneMs(m_run.currentChannel());
            break;
        case RunState::Idle:
            break;
        }
        return on ? onPoint(m_run.currentChannel()) : 0;
    }

private:
    const VirtualTime &m_time;
    const MeasuringRun &m_run;
    RunState m_state = RunState::Idle;
    quint32 m_since = 0;
};

} // namespace orlu::test
