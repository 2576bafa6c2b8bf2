#include "measure/probelinkoperations.h"

#include "device/probelink.h"

namespace orlu {

void ProbeLinkOperations::resetProbe() {
    m_link.resetProbe();
}

void ProbeLinkOperations::startProbe() {
    m_link.startProbe();
}

void ProbeLinkOperations::setPotential(bool high) {
    m_link.setPotential(high);
}

int ProbeLinkOperations::readCurrent() {
    return m_link.readCurrent();
}

void ProbeLinkOperations::playAlertTone(AlertTone tone) {
    m_link.playAlertTone(tone);
}

int ProbeLinkOperations::usageCounter(bool increment) {
    return m_link.usageCounter(increment);
}

bool ProbeLinkOperations::probeConnected() const {
    return m_link.probeConnected();
}

int ProbeLinkOperations::probeLosses() const {
    return m_link.probeLosses();
}

MeasurementOrigin ProbeLinkOperations::probeOrigin() {
    if (!m_link.probeHeld())
        return {};
    return {QString(), m_link.readSerial().trimmed(), m_link.hardwareVersion().trimmed()};
}

} // namespace orlu
