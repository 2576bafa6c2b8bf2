#pragma once

#include "app/windowkind.h"

class QPrinter;

namespace orlu {

struct AppContext;
class ProbeOperations;

// The composition root's knowledge of the concrete function windows. `printer` is the
// program's printer: chosen in the printer set-up, used by every printout.
WindowFactory makeWindowFactory(AppContext &app, ProbeOperations &probe, QPrinter &printer);

} // namespace orlu
