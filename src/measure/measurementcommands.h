#pragma once

// Which commands of the measurement window the operator can use. During a run
// only "停止测量"; otherwise everything but it: analysis and comparison need a
// complete measurement, clearing some data, saving some data and a register to
// save it in, re-measuring points whose reading was not steady, and a repeat
// measurement a stored one.
namespace orlu {

struct MeasurementCommands {
    bool measure = false;
    bool stop = false;
    bool analysis = false;
    bool compare = false;
    bool manualEntry = false;
    bool save = false;
    bool read = false;
    bool clear = false;
    bool leave = false;
    bool choosePotential = false;   // the High / Standard potential buttons
    bool remeasureUnsteady = false; // "重测可疑点"
    bool repeat = false;            // "重复测量"

    bool operator==(const MeasurementCommands &) const = default;
};

struct MeasurementWindowState {
    bool running = false;
    bool hasData = false;
    bool complete = false;
    bool canSave = true; // false when the program has no register to save in
    bool hasUnsteadyPoints = false;
    bool stored = false; // the values are those of a measurement in the register
};

MeasurementCommands measurementCommands(const MeasurementWindowState &state);

} // namespace orlu
