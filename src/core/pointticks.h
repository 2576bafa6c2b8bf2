#pragma once

#include <QtGlobal>

// The timing of a measured point: the measuring run takes it over four ticks of 600 ms
// after contact, and its value is the mean of the readings of the last tick, when the
// skin current has settled. The quality of the point is judged from those same readings.
namespace orlu {

constexpr quint32 PointTickMs = 600;
constexpr int TicksPerPoint = 4;
// Readings from this tick of the point on (counted from 1 at contact) make its value.
constexpr int FirstAveragedTick = TicksPerPoint;

} // namespace orlu
