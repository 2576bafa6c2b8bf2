#pragma once

#include "core/clock.h"
#include "core/programfolder.h"
#include "device/hidlayer.h"

#include <QStringList>

#include <memory>

class QTextStream;

namespace orlu {

enum class ProbeBackend { Hardware, Simulated };

// Simulated with "--simulate-probe" among the arguments or ORLU_PROBE=sim in the
// environment, the hardware otherwise (ORLU_PROBE=hid forces the hardware).
ProbeBackend chooseProbeBackend(const QStringList &arguments);

// The simulated layer keeps its usage counter in the program folder and appends
// the commands it receives to ORLU_PROBE_LOG when that is set.
std::unique_ptr<HidLayer> createHidLayer(ProbeBackend which, const ProgramFolder &folder, const Clock &clock);

// True when a real probe is on the bus (it need not be openable).
bool realProbePresent();

// "orlu-cli probe-present": prints what was found, returns the exit code
// (0 when a real probe is present, 1 otherwise).
int runProbePresent(QTextStream &out);

} // namespace orlu
