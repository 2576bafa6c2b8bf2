#include "device/hidlayer.h"

namespace orlu {

bool isProbe(const HidDeviceInfo &device) {
    return device.vendorId == ProbeVendorId && device.productId == ProbeProductId;
}

} // namespace orlu
