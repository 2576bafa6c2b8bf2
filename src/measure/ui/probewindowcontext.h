#pragma once

#include <QString>

#include <functional>

namespace orlu {

class Clock;
class EventPump;
class ProbeOperations;
class Prompter;
struct Settings;

// What the windows that work the probe (measuring, calibration, locating) work with;
// all of it outlives the window.
struct ProbeWindowContext {
    Settings &settings;
    // Writes the settings file; tells the operator itself when it cannot.
    std::function<bool()> saveSettings;
    ProbeOperations &probe;
    Prompter &prompter;
    const Clock &clock;
    EventPump &pump;
    // The calibration log of this seat (storage/calibrationlog.h); empty for none.
    QString calibrationLog = {};
};

} // namespace orlu
