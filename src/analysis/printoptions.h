#pragma once

#include <QString>

#include <array>
#include <cstddef>

namespace orlu {

// The print options of the analysis report, by their position 1..20 in the
// print-option string of the settings.
enum class PrintOption {
    DetailedForm = 1, // off: the brief form
    MeasurementData = 2,
    ExcessDeficiencyBars = 3,
    BodyEnergyState = 4,
    SingleMeridianVerdict = 5,
    DietAdvice = 6,
    ExpertCourses = 7,
    ExcessDeficiencyCurve = 8,
    YinYangChart = 9,
    QiBloodChart = 10,
    TreatmentRecord = 11,
    GeneratingCycleChart = 12,
    ControllingCycleChart = 13,
    PrescriptionPoints = 14,
    ConductanceVerdict = 15, // only with SingleMeridianVerdict
    Remedies = 16,           // only with PrescriptionPoints
    Colour = 17,             // off: single colour
    SmallType = 18,          // off: normal type
    ConductanceChart = 19,
    AutonomicBalanceChart = 20,
};

// The print-option string of the settings: one "1" or "0" per position 1..20.
inline constexpr int PrintOptionCount = 20;

inline PrintOption printOptionAt(int position) {
    return static_cast<PrintOption>(position);
}

struct PrintOptions {
    std::array<bool, PrintOptionCount> on{};

    bool at(PrintOption option) const { return on[index(option)]; }
    void set(PrintOption option, bool value) { on[index(option)] = value; }

private:
    static std::size_t index(PrintOption option) { return static_cast<std::size_t>(option) - 1; }
};

// A position past the end of a shorter string, or holding anything but "1", is off.
PrintOptions parsePrintOptions(const QString &text);
// Always all 20 positions.
QString printOptionString(const PrintOptions &options);

} // namespace orlu
