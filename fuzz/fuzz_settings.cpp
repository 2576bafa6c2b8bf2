// The settings file as the program reads it at start. Its promise: whatever the bytes, a
// whole set of settings that writes back and reads again as the same.
#include "fuzzcheck.h"
#include "core/settings.h"

#include <QDate>

#include <cstdint>

using namespace orlu;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    const QDate today(2026, 12, 10);
    const Settings read =
        settingsFromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), today);
    FUZZ_ASSERT(settingsFromBytes(settingsToBytes(read), today) == read);
    return 0;
}
