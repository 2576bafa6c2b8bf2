#pragma once

#include <QString>

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

// Reads the hardware string and the usage counter now (no increment).
AboutDeviceLines readAboutDeviceLines(ProbeLink &link, const DeviceStatus &status);

} // namespace orlu
