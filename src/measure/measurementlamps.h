#pragma once

#include "measure/measuringrun.h"
#include "measure/signallamp.h"

// The three lamps of the measurement window as a run goes: the point lamp beside the
// point's progress, the value lamp beside the value bar, and the lamp of the trace.
namespace orlu {

struct MeasurementLamps {
    LampView point;
    LampView value;
    LampView trace;

    bool operator==(const MeasurementLamps &) const = default;
};

// Waiting for contact: the point and trace lamps blink lime green, the value lamp is off.
// Measuring: the value lamp on, the point and trace lamps steady red. Point done (waiting
// for release): all three steady yellow. Idle, once the run has ended: all three off.
MeasurementLamps measurementLamps(RunState state);

} // namespace orlu
