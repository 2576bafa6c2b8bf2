#pragma once

#include "app/windowkind.h"

namespace orlu {

struct AppContext;

// The composition root's knowledge of the concrete function windows.
WindowFactory makeWindowFactory(AppContext &app);

} // namespace orlu
