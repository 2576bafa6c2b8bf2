#include "core/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace orlu {

void waitFor(const Clock &clock, EventPump &pump, quint32 ms, int stepMs) {
    const quint32 start = clock.ticks();
    while (clock.elapsedSince(start) < ms) {
        const quint32 left = ms - clock.elapsedSince(start);
        pump.pump(static_cast<int>(qMin<quint32>(left, static_cast<quint32>(stepMs))));
    }
}

quint32 SystemClock::ticks() const {
    static QElapsedTimer sinceStart = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return static_cast<quint32>(sinceStart.elapsed());
}

QtEventPump::QtEventPump() {
    m_wake.setSingleShot(true);
}

void QtEventPump::pump(int maxWaitMs) {
    if (maxWaitMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The timer's own event ends the wait when nothing else arrives first.
    m_wake.start(maxWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    m_wake.stop();
}

} // namespace orlu
