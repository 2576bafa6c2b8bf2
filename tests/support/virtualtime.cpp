#include "support/virtualtime.h"

#include <QCoreApplication>

namespace orlu::test {

VirtualTime::VirtualTime(QDateTime start, quint32 ticks)
    : m_start(std::move(start))
    , m_startTicks(ticks)
    , m_ticks(ticks) {}

void VirtualTime::pump(int maxWaitMs) {
    for (const auto &settle : m_settle)
        settle();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (m_onPump)
        m_onPump(m_ticks);
    m_ticks += static_cast<quint32>(qMax(maxWaitMs, 1));
}

} // namespace orlu::test
