#pragma once

#include "core/alerttone.h"
#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "core/prompter.h"
#include "records/recordstore.h"
#include "records/sortcode.h"

#include <functional>

namespace orlu {

// What the record windows need from the program: the main register, the current
// measurement, the subject order shared by every subject list, the message box,
// the probe's alert tones and the clock that gives "today".
struct RecordContext {
    RecordStore records;
    CurrentMeasurement &current;
    SubjectOrder &subjectOrder;
    Prompter &prompter;
    const Clock &clock;
    AlertTonePlayer playAlertTone;

    void tone(AlertTone tone) const {
        if (playAlertTone)
            playAlertTone(tone);
    }
};

} // namespace orlu
