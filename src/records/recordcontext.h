#pragma once

#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "core/prompter.h"
#include "records/recordstore.h"

#include <functional>

namespace orlu {

// What the record windows need from the program: the main register, the current
// measurement, the subject sort code shared by every subject list, the message box,
// the probe's alert tones and the clock that gives "today".
struct RecordContext {
    RecordStore records;
    CurrentMeasurement &current;
    int &sortCode;
    Prompter &prompter;
    const Clock &clock;
    std::function<void(int)> playAlertTone;

    void tone(int n) const {
        if (playAlertTone)
            playAlertTone(n);
    }
};

} // namespace orlu
