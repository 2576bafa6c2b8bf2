#include "device/devicestatus.h"

#include "core/numberformat.h"
#include "device/probelink.h"

using namespace Qt::StringLiterals;

namespace orlu {

AboutDeviceLines readAboutDeviceLines(ProbeLink &link, const DeviceStatus &status) {
    const QString none = u"None!"_s;
    AboutDeviceLines lines;
    lines.serial = status.serialText.isEmpty() ? none : status.serialText;
    lines.hardware = link.probeHeld() ? link.hardwareVersion() : none;
    lines.counter = u"[ "_s + formatThousands(link.usageCounter(false), 8) + u" ]"_s;
    return lines;
}

} // namespace orlu
