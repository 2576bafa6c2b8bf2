#pragma once

#include "analysis/analysis.h"
#include "core/channels.h"

#include <array>
#include <string>
#include <vector>

// The codes of a FHIR bundle of this program, each with the display its code system
// gives it: this program's own, in Chinese as the bundled CodeSystem defines them, and
// the few of HL7's that the bundle uses.
namespace orlu::fhir {

struct Concept {
    std::string code;
    std::string display;
};

// Observation components in the order they are written: the 24 plain readings, the 24
// corrected values, body energy, the four ratios, the five verdicts.
constexpr int ReadingComponents = 2 * ChannelCount;
constexpr int BodyEnergyComponent = ReadingComponents;
constexpr int FirstRatioComponent = BodyEnergyComponent + 1;
constexpr int FirstVerdictComponent = FirstRatioComponent + 4;
constexpr int ComponentCount = FirstVerdictComponent + StateItemCount;

// The items judged, in the order of the verdict components (the first is body energy,
// the others are the ratios in the order of their components).
inline constexpr std::array<StateItem, StateItemCount> VerdictItems{
    StateItem::BodyEnergy, StateItem::Spirit, StateItem::Musculoskeletal, StateItem::Metabolism,
    StateItem::Autonomic};

const Concept &measurementConcept();
const Concept &potentialConcept(bool high);
// The component codes by their position.
const std::vector<Concept> &componentConcepts();
// What a probe's calibration found: reading units per uA at standard potential; and what
// the probe measures.
const Concept &sensitivityConcept();
const Concept &skinCurrentConcept();
// A verdict on the item of that position; none for a code the item does not have.
const Concept *verdictConcept(std::size_t item, int code);
// Every concept of this program's code system, in the order it lists them.
std::vector<Concept> codeSystemConcepts();

// HL7's: the category of an examination, why a value is absent ("not-performed",
// "not-applicable", "not-a-number"), and how a verdict places a value against its normal
// band (v3 ObservationInterpretation).
inline constexpr char CategorySystem[] = "http://terminology.hl7.org/CodeSystem/observation-category";
inline constexpr char AbsentReasonSystem[] = "http://terminology.hl7.org/CodeSystem/data-absent-reason";
inline constexpr char InterpretationSystem[] =
    "http://terminology.hl7.org/CodeSystem/v3-ObservationInterpretation";
enum class Absence { NotPerformed, NotApplicable, NotANumber };
const Concept &examCategory();
const Concept &absentReason(Absence why);
const Concept &interpretationOf(int verdictCode);

} // namespace orlu::fhir
