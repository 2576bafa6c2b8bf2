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
    // Read once a probe is held, not at every run: a probe lost since may be another one.
    if (!m_origin || m_originLosses != m_link.probeLosses()) {
        m_origin =
            MeasurementOrigin{QString(), m_link.readSerial().trimmed(), m_link.hardwareVersion().trimmed()};
        m_originLosses = m_link.probeLosses();
    }
    return *m_origin;
}

} // namespace orlu
