#pragma once

#include <QString>

namespace orlu {

// Where a measurement was taken: the time zone of the seat (an IANA name or "UTC+08:00"),
// and the serial number and hardware text of the probe. Empty where unknown: a
// measurement stored before these were recorded, or one typed in by hand.
struct MeasurementOrigin {
    QString timeZone;
    QString probeSerial;
    QString probeHardware;
};

} // namespace orlu
