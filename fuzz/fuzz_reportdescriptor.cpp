// The probe's HID report descriptor, as the kernel hands it over. Its promise: no layout, or
// one with a report of at least one byte, none longer than 4096 bytes and its report id.
#include "fuzzcheck.h"
#include "device/hidrawsysfs.h"

#include <cstdint>

using namespace orlu;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    const std::optional<hidraw::ReportLayout> layout =
        hidraw::parseReportDescriptor(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (layout) {
        FUZZ_ASSERT(layout->inputLength >= 0 && layout->outputLength >= 0);
        FUZZ_ASSERT(layout->inputLength <= 4097 && layout->outputLength <= 4097);
        FUZZ_ASSERT(layout->inputLength > 0 || layout->outputLength > 0);
    }
    return 0;
}
