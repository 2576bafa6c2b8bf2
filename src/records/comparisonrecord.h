#pragma once

#include "core/readingquality.h"

#include <QString>

#include <array>

namespace orlu {

// The stored measurement the reading window hands to the two-record comparison.
struct ComparisonRecord {
    QString subjectNumber;
    QString subjectName;
    double measuredAt = 0; // day count
    bool highPotential = false;
    std::array<double, 24> corrected{}; // channel values times their meridian correction factor
    double average = 0;                 // mean of the measured plain readings (all 24 when complete)
    MeasurementQuality quality{};       // of each reading, where known
    bool loaded = false;                // a record was loaded by the last reading window
};

} // namespace orlu
