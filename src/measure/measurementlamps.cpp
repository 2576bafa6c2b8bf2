#include "measure/measurementlamps.h"

namespace orlu {

MeasurementLamps measurementLamps(RunState state) {
    switch (state) {
    case RunState::WaitingForContact:
        return {{true, Shade::LimeGreen, true}, {false, Shade::Green, false}, {true, Shade::LimeGreen, true}};
    case RunState::Measuring:
        return {{true, Shade::Red, false}, {true, Shade::Green, false}, {true, Shade::Red, false}};
    case RunState::WaitingForRelease:
        return {{true, Shade::Yellow, false}, {true, Shade::Yellow, false}, {true, Shade::Yellow, false}};
    case RunState::Idle:
        break;
    }
    return {{false, Shade::Yellow, false}, {false, Shade::Yellow, false}, {false, Shade::Yellow, false}};
}

} // namespace orlu
