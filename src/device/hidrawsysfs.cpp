#include "device/hidrawsysfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>
#include <vector>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace orlu::hidraw {

namespace {

QByteArray readAll(const QString &file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString readText(const QString &file) {
    return QString::fromUtf8(readAll(file)).trimmed();
}

constexpr int MaxStringCharacters = 254;

} // namespace

std::optional<ReportLayout> parseReportDescriptor(const QByteArray &d) {
    // Global items (size, count, id) persist; push/pop keep a stack of them.
    struct Globals {
        quint32 reportSize = 0;
        quint32 reportCount = 0;
        quint32 reportId = 0;
    };
    Globals g;
    std::vector<Globals> stack;
    std::map<quint32, quint64> inputBits, outputBits;
    bool numbered = false;
    qsizetype i = 0;
    while (i < d.size()) {
        const quint8 prefix = static_cast<quint8>(d.at(i));
        if (prefix == 0xFE) { // long item: skip it
            if (i + 2 >= d.size())
                break;
            i += 3 + static_cast<quint8>(d.at(i + 1));
            continue;
        }
        const int size = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (i + size >= d.size())
            break; // a truncated item
        quint32 value = 0;
        for (int b = 0; b < size; ++b)
            value |= static_cast<quint32>(static_cast<quint8>(d.at(i + 1 + b))) << (8 * b);
        const quint8 tag = prefix & 0xFC;
        switch (tag) {
        case 0x74: // report size
            g.reportSize = value;
            break;
        case 0x94: // report count
            g.reportCount = value;
            break;
        case 0x84: // report id
            g.reportId = value;
            numbered = true;
            break;
        case 0xA4: // push
            stack.push_back(g);
            break;
        case 0xB4: // pop
            if (!stack.empty()) {
                g = stack.back();
                stack.pop_back();
            }
            break;
        case 0x80: // input
            inputBits[g.reportId] += quint64(g.reportSize) * g.reportCount;
            break;
        case 0x90: // output
            outputBits[g.reportId] += quint64(g.reportSize) * g.reportCount;
            break;
        default:
            break;
        }
        i += 1 + size;
    }
    auto longest = [](const std::map<quint32, quint64> &bits) {
        quint64 most = 0;
        for (const auto &[id, n] : bits)
            most = std::max(most, n);
        return most == 0 ? 0 : static_cast<int>(std::min<quint64>((most + 7) / 8, 4096)) + 1;
    };
    ReportLayout layout{longest(inputBits), longest(outputBits), numbered};
    if (layout.inputLength == 0 && layout.outputLength == 0)
        return std::nullopt;
    return layout;
}

QString nodeName(const QString &devicePath) {
    return QFileInfo(devicePath).fileName();
}

ReportLayout reportLayout(const QString &devicePath, const QString &sysfsRoot) {
    const QString file =
        sysfsRoot + u"/class/hidraw/"_s + nodeName(devicePath) + u"/device/report_descriptor"_s;
    std::optional<ReportLayout> layout = parseReportDescriptor(readAll(file));
    if (!layout)
        return {DefaultReportLength, DefaultReportLength, false};
    if (layout->inputLength == 0)
        layout->inputLength = DefaultReportLength;
    if (layout->outputLength == 0)
        layout->outputLength = DefaultReportLength;
    return *layout;
}

QString usbDeviceDirectory(const QString &devicePath, const QString &sysfsRoot) {
    QString dir =
        QFileInfo(sysfsRoot + u"/class/hidraw/"_s + nodeName(devicePath) + u"/device"_s).canonicalFilePath();
    // Up from the HID device through the USB interface to the USB device.
    for (int depth = 0; depth < 6 && !dir.isEmpty() && dir != sysfsRoot; ++depth) {
        if (QFile::exists(dir + u"/descriptors"_s) && QFile::exists(dir + u"/idVendor"_s))
            return dir;
        dir = QFileInfo(dir).path();
    }
    return {};
}

QString usbStringFromSysfs(const QString &usbDeviceDir, int index) {
    if (usbDeviceDir.isEmpty() || index <= 0)
        return {};
    const QByteArray d = readAll(usbDeviceDir + u"/descriptors"_s);
    if (d.size() < 18)
        return {};
    auto byte = [&](qsizetype at) { return static_cast<quint8>(d.at(at)); };
    const std::pair<int, const char16_t *> deviceStrings[] = {
        {byte(14), u"manufacturer"}, {byte(15), u"product"}, {byte(16), u"serial"}};
    for (const auto &[i, name] : deviceStrings) {
        if (i == index)
            return readText(usbDeviceDir + u'/' + QString::fromUtf16(name)).left(MaxStringCharacters);
    }
    // Configuration and interface strings of the descriptors that follow.
    const QString base = QFileInfo(usbDeviceDir).fileName();
    int configValue = 1;
    for (qsizetype at = byte(0); at + 1 < d.size();) {
        const int length = byte(at);
        if (length < 2 || at + length > d.size())
            break;
        const int type = byte(at + 1);
        if (type == 2 && length >= 7) {
            configValue = byte(at + 5);
            if (byte(at + 6) == index)
                return readText(usbDeviceDir + u"/configuration"_s).left(MaxStringCharacters);
        } else if (type == 4 && length >= 9 && byte(at + 8) == index) {
            const QString dir = usbDeviceDir + u'/' + base + u':' + QString::number(configValue) + u'.' +
                                QString::number(byte(at + 2));
            return readText(dir + u"/interface"_s).left(MaxStringCharacters);
        }
        at += length;
    }
    return {};
}

QString decodeStringDescriptor(const QByteArray &descriptor) {
    if (descriptor.size() < 2 || static_cast<quint8>(descriptor.at(1)) != 3)
        return {};
    const int length = qMin<int>(static_cast<quint8>(descriptor.at(0)), static_cast<int>(descriptor.size()));
    QString text;
    for (int i = 2; i + 1 < length && text.size() < MaxStringCharacters; i += 2) {
        const char16_t unit = static_cast<char16_t>(static_cast<quint8>(descriptor.at(i)) |
                                                    (static_cast<quint8>(descriptor.at(i + 1)) << 8));
        text.append(QChar(unit));
    }
    return text;
}

std::optional<UsbAddress> usbAddress(const QString &usbDeviceDir) {
    bool okBus = false, okDev = false;
    UsbAddress a;
    a.bus = readText(usbDeviceDir + u"/busnum"_s).toInt(&okBus);
    a.device = readText(usbDeviceDir + u"/devnum"_s).toInt(&okDev);
    if (usbDeviceDir.isEmpty() || !okBus || !okDev)
        return std::nullopt;
    a.node = u"/dev/bus/usb/%1/%2"_s.arg(a.bus, 3, 10, QChar(u'0')).arg(a.device, 3, 10, QChar(u'0'));
    return a;
}

QString usbStringByControlTransfer(const QString &usbDeviceDir, int index) {
#ifdef Q_OS_LINUX
    const std::optional<UsbAddress> address = usbAddress(usbDeviceDir);
    if (!address || index <= 0 || index > 255)
        return {};
    const int fd = ::open(address->node.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return {};
    auto getString = [fd](int i, int language) {
        unsigned char buffer[255] = {};
        usbdevfs_ctrltransfer transfer{};
        transfer.bRequestType = 0x80; // device to host, standard, device
        transfer.bRequest = 6;        // GET_DESCRIPTOR
        transfer.wValue = static_cast<quint16>((3 << 8) | i);
        transfer.wIndex = static_cast<quint16>(language);
        transfer.wLength = sizeof(buffer);
        transfer.timeout = 500;
        transfer.data = buffer;
        const int n = ::ioctl(fd, USBDEVFS_CONTROL, &transfer);
        return n > 0 ? QByteArray(reinterpret_cast<const char *>(buffer), n) : QByteArray();
    };
    const QByteArray languages = getString(0, 0);
    int language = 0x0409;
    if (languages.size() >= 4)
        language = static_cast<quint8>(languages.at(2)) | (static_cast<quint8>(languages.at(3)) << 8);
    const QString text = decodeStringDescriptor(getString(index, language));
    ::close(fd);
    return text;
#else
    Q_UNUSED(usbDeviceDir);
    Q_UNUSED(index);
    return {};
#endif
}

} // namespace orlu::hidraw
