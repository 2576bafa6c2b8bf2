#include "measure/probeusage.h"

#include "core/currentmeasurement.h"
#include "measure/probeoperations.h"

namespace orlu {

void countProbeUse(CurrentMeasurement &measurement, ProbeOperations &probe) {
    if (measurement.pointsSinceCounterUpdate < CountedMeasurementPoints)
        return;
    probe.usageCounter(true);
    measurement.pointsSinceCounterUpdate = 0;
}

} // namespace orlu
