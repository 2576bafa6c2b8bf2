#pragma once

#include <QString>

#include <functional>

// What the start-up check found out about the probe; held by the main window
// for the whole run and read again by the About box.
namespace orlu {

class ProbeLink;

struct DeviceStatus {
    bool ready = false;
    QString serialText;   // twelve characters or "None!"
    QString hardwareText; // USB string 3, "USB Status Error!" or "None!"
    QString statusMessage;
};

struct AboutDeviceLines {
    QString serial;   // "Device SerialNo:"
    QString hardware; // "Hardware Version:"
    QString counter;  // "Measurement Counter:", "[ " + "%8.0n" + " ]"
};

// What the start-up window lends the legacy database conversion that runs at its end.
class StartupProgress {
public:
    virtual ~StartupProgress() = default;
    // The window's status line, repainted at once.
    virtual void showStatus(const QString &text) = 0;
    // The progress bar, 0..progressMaximum().
    virtual void setProgress(int position) = 0;
    virtual int progress() const = 0;
    virtual int progressMaximum() const = 0;
};

// Called by the start-up window when the probe is ready and "orlu.mdb" exists.
using LegacyConversionHook = std::function<void(StartupProgress &)>;

// Reads the hardware string and the usage counter now (no increment).
AboutDeviceLines readAboutDeviceLines(ProbeLink &link, const DeviceStatus &status);

} // namespace orlu
