#pragma once

#include "core/currentmeasurement.h"

namespace orlu {

// How the analysis window last showed the current measurement: the page it was left on and
// the chart chosen. A new measurement opens on the first page; new readings on the first chart.
struct AnalysisViewState {
    int page = 0;
    int chart = 1;
    unsigned measurementsBegun = 0;
    unsigned readingsTaken = 0;

    // Starts the page or the chart afresh when the measurement changed since the last showing.
    void follow(const CurrentMeasurement &m) {
        if (m.measurementsBegun != measurementsBegun)
            page = 0;
        if (m.readingsTaken != readingsTaken)
            chart = 1;
        measurementsBegun = m.measurementsBegun;
        readingsTaken = m.readingsTaken;
    }
};

} // namespace orlu
