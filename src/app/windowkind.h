#pragma once

#include <QDialog>

#include <functional>
#include <memory>

namespace orlu {

// The function windows the main window opens.
enum class WindowKind {
    StartupStatus, // StartupStatusWindow
    Measurement,   // MeasurementWindow
    MultiCompare,  // TKymut
    Locate,        // TKyLoc
    Explain,       // ExplanationWindow
    Courses,       // CourseWindow
    Calibration,   // TSyspt
    FileTransfer,  // TKyFile
    Settings,      // SettingsWindow
};

// Builds a function window of a kind; the composition root knows the concrete windows.
using WindowFactory = std::function<std::unique_ptr<QDialog>(WindowKind kind, QWidget *parent)>;

} // namespace orlu
