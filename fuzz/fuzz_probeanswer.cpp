// An answer from the probe, as the link reads its fields. Its promise: a reading of three
// hexadecimal digits at most (0 when they do not convert), a register of two characters at
// most, a hexadecimal field never negative.
#include "fuzzcheck.h"
#include "device/probelink.h"

#include <cstdint>

using namespace orlu;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const int reading = answer::reading(bytes);
    FUZZ_ASSERT(reading >= 0 && reading <= 0xFFF);
    FUZZ_ASSERT(answer::registerText(bytes).size() <= 2);
    FUZZ_ASSERT(answer::hexValue(bytes) >= 0);
    return 0;
}
