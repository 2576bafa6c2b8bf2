#include "device/hidlayer.h"

namespace orlu {

bool isProbe(const HidDeviceInfo &device) {
    return device.vendorId == ProbeVendorId && device.productId == ProbeProductId;
}

bool HidLayer::takeProbeById(quint16 vendorId, quint16 productId) {
    return takeProbeByTest(
        [&](const HidDeviceInfo &d) { return d.vendorId == vendorId && d.productId == productId; });
}

} // namespace orlu
