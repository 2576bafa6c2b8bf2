#pragma once

#include "core/channels.h"

// The probe's usage counter ("Measurement Counter") counts measurements, not points: a
// measurement counts once at least half of its points were measured since the counter last
// went up, and it was analysed.
namespace orlu {

class ProbeOperations;
struct CurrentMeasurement;

// Points measured since the last count that make a counted measurement: half of the 24.
constexpr int CountedMeasurementPoints = ChannelCount / 2;

// After the analysis of the current measurement: counts it on the probe and starts counting
// points afresh when enough were measured; otherwise nothing changes.
void countProbeUse(CurrentMeasurement &measurement, ProbeOperations &probe);

} // namespace orlu
