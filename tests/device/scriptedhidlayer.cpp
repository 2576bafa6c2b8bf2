#include "scriptedhidlayer.h"

namespace orlu::test {

ScriptedHidLayer::ScriptedHidLayer(VirtualTime &time, HidCapabilities caps)
    : m_time(time)
    , m_caps(caps) {
    m_time.addSettleHook([this] { deliver(); });
}

QStringList ScriptedHidLayer::commands() const {
    QStringList out;
    for (const Write &w : m_writes) {
        if (w.ok)
            out << QString::fromLatin1(w.report.mid(1)).trimmed();
    }
    return out;
}

QList<HidDeviceInfo> ScriptedHidLayer::devices() const {
    if (!m_present && !m_held)
        return {};
    HidDeviceInfo d;
    d.path = QStringLiteral("scripted");
    d.vendorId = ProbeVendorId;
    d.productId = ProbeProductId;
    d.pluggedIn = m_present;
    d.held = m_held;
    return {d};
}

bool ScriptedHidLayer::takeProbeById(quint16 vendorId, quint16 productId) {
    if (m_held || !m_present || vendorId != ProbeVendorId || productId != ProbeProductId)
        return false;
    m_held = true;
    return true;
}

bool ScriptedHidLayer::takeProbeByTest(const HidDeviceTest &test) {
    if (m_held || !m_present || !test(devices().value(0)))
        return false;
    m_held = true;
    return true;
}

bool ScriptedHidLayer::writeOutputReport(const QByteArray &report, int *bytesWritten) {
    const bool ok = m_held && m_present && m_failWrites == 0;
    if (m_failWrites > 0)
        --m_failWrites;
    m_writes.append({report, m_time.ticks(), ok});
    if (bytesWritten)
        *bytesWritten = ok ? static_cast<int>(report.size()) : 0;
    if (ok)
        m_inFlight = m_answers.isEmpty() ? m_default : m_answers.takeFirst();
    return ok;
}

bool ScriptedHidLayer::flushInputQueue() {
    ++m_flushes;
    m_inFlight.reset();
    return m_held;
}

void ScriptedHidLayer::deliver() {
    if (!m_inFlight)
        return;
    const QByteArray data = *m_inFlight;
    m_inFlight.reset();
    if (m_held && m_present)
        emit deviceData(0, data);
}

} // namespace orlu::test
