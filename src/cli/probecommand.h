#pragma once

#include <QStringList>
#include <QTextStream>

// Service work on the probe on the USB bus, without the program:
//   probe info [--json]      serial, hardware text, usage counter, report sizes, where it sits
//   probe read [--count N]   N readings with their times
// Refused when no probe is there, when it cannot be opened, or when a running program holds it.
namespace orlu {

int runProbeCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace orlu
