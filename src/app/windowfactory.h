#pragma once

#include "app/windowkind.h"

namespace orlu {

struct AppContext;
class ProbeOperations;

// The composition root's knowledge of the concrete function windows.
WindowFactory makeWindowFactory(AppContext &app, ProbeOperations &probe);

} // namespace orlu
