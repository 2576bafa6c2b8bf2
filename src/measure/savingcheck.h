#pragma once

#include "core/prompter.h"

// What the operator is asked before a measurement goes to the saving window: a
// measurement with points left unmeasured (a run cut off or stopped) is saved only
// when the operator says so, and one with doubtful readings offers to re-test them
// first ("重测可疑点").
namespace orlu {

struct CurrentMeasurement;

enum class SavingDecision {
    Save,   // go on to the saving window
    Cancel, // nothing is saved
    Retest, // re-test the doubtful points first; nothing is saved now
};

SavingDecision askBeforeSaving(const CurrentMeasurement &measurement, Prompter &prompter);

} // namespace orlu
