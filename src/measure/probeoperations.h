#pragma once

#include "core/alerttone.h"
#include "core/measurementorigin.h"

#include <QString>

// The probe commands a measuring run and the measurement window use. The
// device link's ProbeLink provides them; tests script them.
namespace orlu {

class ProbeOperations {
public:
    virtual ~ProbeOperations() = default;

    virtual void resetProbe() = 0;                  // "X000000"
    virtual void startProbe() = 0;                  // "N000000"
    virtual void setPotential(bool high) = 0;       // "H000000" / "L000000"
    virtual int readCurrent() = 0;                  // "D000000": reading units 0..4095
    virtual void playAlertTone(AlertTone tone) = 0; // the "S" commands of the tone
    virtual int usageCounter(bool increment) = 0;

    // A probe is held and still on the bus. Without one a reading repeats the
    // last answer, so a loop waiting for the operator would wait for ever.
    virtual bool probeConnected() const = 0;
    // How often the held probe has been lost so far; a probe pulled and
    // plugged in again between two looks still counts.
    virtual int probeLosses() const = 0;
    // The serial number and hardware text of the held probe (no time zone); empty where
    // the probe does not tell them.
    virtual MeasurementOrigin probeOrigin() { return {}; }
};

// Tells a procedure that waits for the operator when its probe is gone: no
// longer connected, or lost at any moment since the watch began.
class ProbeWatch {
public:
    explicit ProbeWatch(const ProbeOperations &probe)
        : m_probe(probe)
        , m_losses(probe.probeLosses()) {}

    bool lost() const { return !m_probe.probeConnected() || m_probe.probeLosses() != m_losses; }

    // The message when a run ends because its probe is gone.
    static QString lostMessage();
    // The message when a run cannot start for want of a probe.
    static QString absentMessage();

private:
    const ProbeOperations &m_probe;
    int m_losses;
};

} // namespace orlu
