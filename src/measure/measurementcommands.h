#pragma once

// Which commands of the measurement window the operator can use. During a run
// only "停止测量"; otherwise everything but it: analysis and comparison need a
// complete measurement, clearing some data, saving some data and a register to
// save it in.
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
    bool choosePotential = false; // the High / Standard potential buttons

    bool operator==(const MeasurementCommands &) const = default;
};

struct MeasurementWindowState {
    bool running = false;
    bool hasData = false;
    bool complete = false;
    bool canSave = true; // false when the program has no register to save in
};

MeasurementCommands measurementCommands(const MeasurementWindowState &state);

} // namespace orlu
