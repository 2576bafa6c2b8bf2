#pragma once

#include "core/currentmeasurement.h"
#include "core/measurementorigin.h"

#include <QString>

#include <array>

namespace orlu {

// A KYCUST row as the record windows use it.
struct SubjectRecord {
    qint64 key = 0; // MKEY
    Subject subject;
    QString memo; // MEMO, lines joined by CR LF
};

// A KYDATA row without its carried columns.
struct MeasurementRecord {
    qint64 key = 0;        // MKEY
    QString subjectNumber; // CUSTNO
    double measuredAt = 0; // KYDATE
    bool highPotential = false;
    std::array<double, 24> values{}; // KY1..KY24, the plain readings
    QString memo;                    // MEMO1, lines joined by CR LF
    MeasurementQuality quality{};    // its KYQUAL rows
    MeasurementOrigin origin;        // its KYORIGIN row
};

} // namespace orlu
