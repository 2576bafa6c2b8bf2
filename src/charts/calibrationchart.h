#pragma once

#include "charts/drawingsurface.h"
#include "storage/calibrationlog.h"

#include <QList>
#include <QRect>

namespace orlu {

// The probe's calibrations over time in `bounds`: the standard (green) and high (red)
// values of the successful ones as lines with dots, oldest on the left, on a scale that
// the successful values set with 100 to spare; a failed calibration is a grey mark
// under the axis.
void drawCalibrationChart(DrawingSurface &surface, const QRect &bounds,
                          const QList<CalibrationEntry> &entries);

} // namespace orlu
