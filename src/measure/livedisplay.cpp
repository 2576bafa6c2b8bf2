#include "measure/livedisplay.h"

#include "core/numberformat.h"

#include <QString>

#include <cmath>

namespace orlu {

namespace {
int valueBarOf(double ua) {
    // The bar shows 0..200 uA over 4096 steps; a reading past its end fills it.
    const double steps = std::trunc(ua / ReferenceCurrentUa * 4096.0);
    return static_cast<int>(qBound(0.0, steps, double(ValueBarMaximum)));
}
} // namespace

double thresholdUnits(double thresholdUa, double scale) {
    return thresholdUa * scale;
}

LiveValues waitingValues(int reading, double scale) {
    LiveValues v;
    v.measured = reading / scale;
    v.display = v.measured;
    return v;
}

LiveValues measuringValues(int reading, quint32 elapsedMs, double scale, double factor) {
    LiveValues v;
    v.measured = (reading / double(PointDurationMs)) * elapsedMs / scale;
    v.compensated = v.measured * factor;
    v.display = reading / scale;
    v.valueBar = valueBarOf(v.display);
    v.pointProgress = static_cast<int>(qMin<quint32>(elapsedMs, PointDurationMs));
    return v;
}

LiveValues pointEndValues(double value, double corrected) {
    LiveValues v;
    v.measured = value;
    v.compensated = corrected;
    v.display = value;
    v.valueBar = valueBarOf(value);
    v.pointProgress = PointDurationMs;
    return v;
}

QString valueDisplayText(double ua) {
    return u'[' + formatFixed(ua, 5, 1) + u']';
}

double traceY(int reading, double baseline, double scale) {
    return 400.0 - 10.0 * (reading - baseline) / scale;
}

} // namespace orlu
