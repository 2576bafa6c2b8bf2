#pragma once

#include <QString>

// Colours the calibration and locating procedures give their lamps and texts;
// the windows turn them into real colours. Kept free of Qt Gui so the
// procedures stay in the logic library.
namespace orlu {

enum class Shade { Black, DarkRed, Red, Maroon, Yellow, Olive, LimeGreen, Green, Teal, Aqua, Blue };

// What a signal lamp shows.
struct LampView {
    bool on = false;
    Shade shade = Shade::Black;
    bool blinking = false;

    bool operator==(const LampView &) const = default;
};

// A coloured text.
struct ShadedText {
    QString text;
    Shade shade = Shade::Black;

    bool operator==(const ShadedText &) const = default;
};

} // namespace orlu
