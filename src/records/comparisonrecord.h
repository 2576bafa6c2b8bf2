#pragma once

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
    double average = 0;                 // mean of the 24 plain readings
    bool loaded = false;                // a record was loaded by the last reading window
};

} // namespace orlu
