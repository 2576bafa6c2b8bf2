#pragma once

#include "core/measurementorigin.h"
#include "core/readingquality.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace orlu {

// The subject a measurement belongs to (a KYCUST row).
struct Subject {
    QString number; // CUSTNO
    QString name;
    bool male = true;
    double birthDate = 0; // day count; 4000 or less: not given
    QString address;
    QString telephone;
    QString telephone2;
    QString telephone3;
    QString email;

    void clear() { *this = Subject(); }
    bool operator==(const Subject &) const = default;
};

// The one set of 24 readings the program holds at any time, with its subject.
// Arrays are indexed by channel - 1.
struct CurrentMeasurement {
    std::array<double, 24> values{};    // uA, 0 = not measured
    std::array<double, 24> corrected{}; // values times the meridian correction factor
    // How sound each reading was; empty when unknown (typed, imported or never measured).
    std::array<std::optional<PointQuality>, 24> quality{};
    double measuredAt = 0; // day count of the last measured point, 0 when empty
    bool highPotential = false;
    MeasurementOrigin origin; // the probe of the run that measured it; empty when typed or loaded
    QStringList memo;
    qint64 recordKey = 0; // MKEY of the stored row, 0 when not stored
    int pointsSinceCounterUpdate = 0;
    // Counted up when a measurement begins here (cleared or loaded), and when readings come
    // in (a point measured or a measurement loaded). A window that remembers how it last
    // showed the measurement compares them to know what to start afresh.
    unsigned measurementsBegun = 0;
    unsigned readingsTaken = 0;
    // Readings measured or typed since the measurement was last stored, loaded or cleared.
    bool readingsUnsaved = false;
    Subject subject;

    double value(int c) const { return values[c - 1]; }
    double correctedValue(int c) const { return corrected[c - 1]; }
    // Stores a measured or typed value for channel c and its corrected value; its quality
    // becomes unknown until the run that measured it says how sound it was.
    void setValue(int c, double v);
    const std::optional<PointQuality> &pointQuality(int c) const { return quality[c - 1]; }
    void setPointQuality(int c, const PointQuality &q) { quality[c - 1] = q; }
    // Sets all 24 values at once (a loaded or typed measurement) and recomputes every corrected value.
    void setAllValues(const std::array<double, 24> &v);

    bool complete() const;
    bool hasData() const;
    // Readings the register does not hold: leaving them asks first.
    bool unsaved() const { return readingsUnsaved && hasData(); }

    // Values, qualities, date, origin, record key, counter, memo and the unsaved mark cleared; corrected
    // values are left as they were. The potential mode becomes the one chosen for measuring.
    void clear(bool highChosen);
};

} // namespace orlu
