#include "core/currentmeasurement.h"

#include "core/channels.h"

#include <algorithm>

namespace orlu {

void CurrentMeasurement::setValue(int c, double v) {
    values[c - 1] = v;
    corrected[c - 1] = orlu::correctedValue(c, v);
    quality[c - 1].reset();
}

void CurrentMeasurement::setAllValues(const std::array<double, 24> &v) {
    for (int c = 1; c <= ChannelCount; ++c)
        setValue(c, v[c - 1]);
}

bool CurrentMeasurement::complete() const {
    return std::all_of(values.begin(), values.end(), [](double v) { return v != 0.0; });
}

bool CurrentMeasurement::hasData() const {
    return std::any_of(values.begin(), values.end(), [](double v) { return v != 0.0; });
}

void CurrentMeasurement::clear(bool highChosen) {
    values.fill(0.0);
    quality.fill(std::nullopt);
    measuredAt = 0;
    origin = {};
    recordKey = 0;
    pointsSinceCounterUpdate = 0;
    memo.clear();
    readingsUnsaved = false;
    ++measurementsBegun;
    highPotential = highChosen;
}

} // namespace orlu
