#pragma once

#include "core/measurementorigin.h"
#include "storage/calibrationlog.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The probes of a FHIR bundle: a Device for each probe serial number the register's
// measurements name, and one "unknown probe" Device for the measurements stored without
// one (before probes were recorded, or typed in). The seat's latest calibration, where its
// log has one, belongs to the probe that measured last: its sensitivity as a property of
// that Device, its time in a DeviceMetric of the Device.
namespace orlu {

class FhirDevices {
public:
    // `zone` is that of the calibration's time.
    FhirDevices(const QUuid &registerIdentity, const QList<MeasurementOrigin> &probes,
                const std::optional<CalibrationEntry> &calibration, const QString &zone);

    // The bundle's entries, each led by ",\n".
    const std::string &entries() const { return m_entries; }
    // The fullUrl of the Device of the probe with that serial number.
    const std::string &urnOf(const QString &serial) const;

private:
    std::string m_entries;
    std::string m_unknownUrn;
    std::vector<std::pair<QString, std::string>> m_urns;
};

} // namespace orlu
