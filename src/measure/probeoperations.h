#pragma once

// The probe commands a measuring run and the measurement window use. The
// device link's ProbeLink provides them; tests script them.
namespace orlu {

class ProbeOperations {
public:
    virtual ~ProbeOperations() = default;

    virtual void resetProbe() = 0;            // "X000000"
    virtual void startProbe() = 0;            // "N000000"
    virtual void setPotential(bool high) = 0; // "H000000" / "L000000"
    virtual int readCurrent() = 0;            // "D000000": reading units 0..4095
    virtual void playAlertTone(int n) = 0;    // the "S" commands of tone n
    virtual int usageCounter(bool increment) = 0;
};

} // namespace orlu
