#pragma once

#include <functional>

namespace orlu {

// The probe's alert tones, named for the moment each one marks. The values are
// the numbers of the probe's tone table (see alertToneCommands).
enum class AlertTone {
    Notice = 1,            // before ordinary questions and notices; calibration start and success
    Caution = 2,           // before the exit question, the High potential confirmation, transfer questions
    Fault = 3,             // measuring time too long; calibration errors and failure
    PointTick = 4,         // contact at a measuring point and every tick while it is measured
    PointDone = 5,         // a measuring point other than the last one is done
    LastPointDone = 6,     // the last measuring point is done
    CalibrationTick = 7,   // start of the calibration measuring and every calibration tick
    StandardPhaseDone = 8, // end of the Standard phase of a calibration
    LocatingContact = 9,   // locating, search mode: the probe is in contact
    LocatingAway = 10,     // locating mode: not at the acupoint
    LocatingNear = 11,     // locating mode: near the acupoint
    LocatingOnPoint = 12,  // locating mode: at the acupoint
};

// Plays a tone through whatever holds the probe; windows get one from the program.
using AlertTonePlayer = std::function<void(AlertTone)>;

} // namespace orlu
