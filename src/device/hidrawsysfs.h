#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What the Linux kernel tells about a hidraw device in sysfs and usbfs: report
// lengths from its report descriptor and the USB strings the hidraw interface
// itself cannot read.
namespace orlu::hidraw {

struct ReportLayout {
    int inputLength = 0;   // the longest input report, with its report id byte
    int outputLength = 0;  // the longest output report, with its report id byte
    bool numbered = false; // reports carry a report id on the wire
};

// Fallback when the descriptor cannot be read: 64 data bytes and the report id.
constexpr int DefaultReportLength = 65;

// Lengths from a HID report descriptor; nullopt when it holds no input or output report.
std::optional<ReportLayout> parseReportDescriptor(const QByteArray &descriptor);

// "/dev/hidraw3" -> "hidraw3".
QString nodeName(const QString &devicePath);
// The report layout of a hidraw node read from sysfs, the fallback when unreadable.
ReportLayout reportLayout(const QString &devicePath, const QString &sysfsRoot = QStringLiteral("/sys"));

// The USB device directory in sysfs above a hidraw node, empty when none.
QString usbDeviceDirectory(const QString &devicePath, const QString &sysfsRoot = QStringLiteral("/sys"));
// Where a USB device sits on the bus: its bus and device numbers and its usbfs node.
struct UsbAddress {
    int bus = 0;
    int device = 0;
    QString node; // /dev/bus/usb/001/002
};
// Empty when the directory holds no bus and device number.
std::optional<UsbAddress> usbAddress(const QString &usbDeviceDir);

// The USB string with `index`, from the string attributes that the kernel
// keeps for the indexes the descriptors name; empty when none matches.
QString usbStringFromSysfs(const QString &usbDeviceDir, int index);
// The USB string with `index` asked from the device through usbfs; empty on failure.
QString usbStringByControlTransfer(const QString &usbDeviceDir, int index);

// A string descriptor's UTF-16LE payload (bLength, bDescriptorType, text) as text.
QString decodeStringDescriptor(const QByteArray &descriptor);

} // namespace orlu::hidraw
