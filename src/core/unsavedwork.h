#pragma once

#include "core/prompter.h"

#include <QString>

#include <functional>

// Finished work is not lost unasked: before the current measurement's unsaved readings
// would be let go (leaving the program or the measurement window, a new run over them,
// reading a stored one in their place) the operator chooses to save them, let them go,
// or stay.
namespace orlu {

struct CurrentMeasurement;

enum class UnsavedOccasion { LeaveProgram, LeaveMeasurementWindow, StartNewRun, ReadAnother };

// The question asked for an occasion: three buttons when saving is possible, else yes/no.
QString saveQuestion(UnsavedOccasion occasion);
QString discardQuestion(UnsavedOccasion occasion);

// Asks, when the measurement holds unsaved readings, and returns whether to go on. `save`
// opens the saving window and returns when it closes (empty: the register cannot take the
// measurement). Going on after "不储存": a new run starts on an empty table (the subject
// stays; `highChosen` is the potential of its run); leaving the measurement window keeps
// the readings in memory, still unsaved, so that ending the program asks once more.
bool settleUnsavedWork(UnsavedOccasion occasion, CurrentMeasurement &measurement, Prompter &prompter,
                       const std::function<void()> &save, bool highChosen);

} // namespace orlu
