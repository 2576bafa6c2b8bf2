#pragma once

#include <QString>

#include <array>
#include <cstddef>

namespace orlu {

// The print-option string of the settings: one "1" or "0" per position 1..20.
inline constexpr int PrintOptionCount = 20;

struct PrintOptions {
    std::array<bool, PrintOptionCount> on{};

    // Position 1..20.
    bool at(int position) const { return on[static_cast<std::size_t>(position - 1)]; }
    void set(int position, bool value) { on[static_cast<std::size_t>(position - 1)] = value; }
};

// A position past the end of a shorter string, or holding anything but "1", is off.
PrintOptions parsePrintOptions(const QString &text);
// Always all 20 positions.
QString printOptionString(const PrintOptions &options);

} // namespace orlu
