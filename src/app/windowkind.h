#pragma once

#include <QDialog>

#include <functional>
#include <memory>

namespace orlu {

// The function windows the main window opens.
enum class WindowKind {
    StartupStatus, // StartupStatusWindow
    Measurement,   // MeasurementWindow
    MultiCompare,  // MultiComparisonWindow
    Locate,        // LocatingWindow
    Explain,       // ExplanationWindow
    Courses,       // CourseWindow
    Calibration,   // CalibrationWindow
    FileTransfer,  // TransferWindow
    Settings,      // SettingsWindow
    Saving,        // SavingWindow, for a measurement left unsaved when the program ends
};

// Builds a function window of a kind; the composition root knows the concrete windows.
using WindowFactory = std::function<std::unique_ptr<QDialog>(WindowKind kind, QWidget *parent)>;

} // namespace orlu
