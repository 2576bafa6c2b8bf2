#pragma once

#include "dataexport/dataexport.h"
#include "storage/calibrationlog.h"

#include <QString>

// The register's measurements as an HL7 FHIR R4 Bundle of type "collection", for
// clinical software that reads FHIR: a Patient per subject, a Device per probe, an
// Observation per measurement with its readings, corrected values, body energy, ratios
// and verdicts as components, and the CodeSystem that describes this program's codes.
namespace orlu {

// The one canonical URL of this program's codes.
inline constexpr char FhirCodeSystemUrl[] = "https://quorix.org/fhir/CodeSystem/orlu";
// The extension of a reading component that carries the verdict on the reading's quality
// ("steady", "drifting", ...); only where the quality is known.
inline constexpr char FhirReadingQualityUrl[] =
    "https://quorix.org/fhir/StructureDefinition/orlu-reading-quality";
// The identifier systems of a subject number, of its pseudonym and of a measurement's key,
// each followed by "/" and the register's identity: numbers and keys are unique only inside
// one register. The register's identity is also the namespace of every resource's id.
inline constexpr char FhirSubjectNumberSystem[] = "https://quorix.org/fhir/sid/orlu-subject";
inline constexpr char FhirPseudonymSystem[] = "https://quorix.org/fhir/sid/orlu-pseudonym";
inline constexpr char FhirMeasurementSystem[] = "https://quorix.org/fhir/sid/orlu-measurement";
// The identifier system of a probe's serial number, the same in every register.
inline constexpr char FhirProbeSerialSystem[] = "https://quorix.org/fhir/sid/orlu-probe-serial";

// With a pseudonymiser a Patient holds only its pseudonym, and no Observation a memo. A
// measurement's time carries the offset of the zone it was taken in, or of the register's
// zone. Each probe that measured is a Device; the seat's latest successful calibration
// (`seatCalibration`) goes with the one that measured last. Refused for a register without
// an identity.
ExportOutcome exportFhirBundle(const RecordStore &records, const MeasurementFilter &filter,
                               const Pseudonymiser *pseudonymiser, QIODevice &out,
                               ExportObserver *observer = nullptr,
                               const std::optional<CalibrationEntry> &seatCalibration = std::nullopt);
// The same to a file, by the rules of exportMeasurementsToFile.
ExportOutcome exportFhirBundleToFile(const RecordStore &records, const MeasurementFilter &filter,
                                     const Pseudonymiser *pseudonymiser, const QString &path,
                                     ExportObserver *observer = nullptr,
                                     const std::optional<CalibrationEntry> &seatCalibration = std::nullopt);

} // namespace orlu
