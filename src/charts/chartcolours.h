#pragma once

#include <QColor>

// The colours the charts draw with.
namespace orlu::ChartColour {

constexpr QColor Black{0, 0, 0};
constexpr QColor Navy{0, 0, 128};
constexpr QColor Gray{128, 128, 128};
constexpr QColor Green{0, 128, 0};
constexpr QColor Yellow{255, 255, 0};
constexpr QColor Olive{128, 128, 0};
constexpr QColor Red{255, 0, 0};
constexpr QColor Blue{0, 0, 255};
constexpr QColor Maroon{128, 0, 0};
constexpr QColor Teal{0, 128, 128};
constexpr QColor Aqua{0, 255, 255};
constexpr QColor Purple{128, 0, 128};
constexpr QColor Fuchsia{255, 0, 255};
constexpr QColor Lime{0, 255, 0};
constexpr QColor White{255, 255, 255};

// The button face the chart area is filled with when no widget palette is at hand
// (images rendered outside a window).
constexpr QColor ButtonFace{240, 240, 240};

} // namespace orlu::ChartColour
