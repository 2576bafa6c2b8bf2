#pragma once

#include "measure/probeoperations.h"

#include <optional>

namespace orlu {

class ProbeLink;

// The probe operations of a measuring run carried out by the device link.
class ProbeLinkOperations final : public ProbeOperations {
public:
    explicit ProbeLinkOperations(ProbeLink &link)
        : m_link(link) {}

    void resetProbe() override;
    void startProbe() override;
    void setPotential(bool high) override;
    int readCurrent() override;
    void playAlertTone(AlertTone tone) override;
    int usageCounter(bool increment) override;
    bool probeConnected() const override;
    int probeLosses() const override;
    MeasurementOrigin probeOrigin() override;

private:
    ProbeLink &m_link;
    std::optional<MeasurementOrigin> m_origin;
    int m_originLosses = 0; // the link's count of losses when m_origin was read
};

} // namespace orlu
