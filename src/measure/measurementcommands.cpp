#include "measure/measurementcommands.h"

namespace orlu {

MeasurementCommands measurementCommands(const MeasurementWindowState &state) {
    MeasurementCommands c;
    if (state.running) {
        c.stop = true;
        return c;
    }
    c.measure = true;
    c.analysis = state.complete;
    c.compare = state.complete;
    c.manualEntry = true;
    c.save = state.hasData && state.canSave;
    c.read = true;
    c.clear = state.hasData;
    c.leave = true;
    c.choosePotential = true;
    c.remeasureUnsteady = state.hasUnsteadyPoints;
    c.repeat = state.stored && state.hasData;
    return c;
}

} // namespace orlu
