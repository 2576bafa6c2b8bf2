// The settings file as the program reads it at start. Its promise: whatever the bytes, a
// whole set of settings; and once saved, the file reads back as it was saved. (Bytes that
// are no GBK text read as U+FFFD, which GBK writes as "?": the first save is the point
// where the text settles.)
#include "fuzzcheck.h"
#include "core/settings.h"

#include <QDate>

#include <cstdint>

using namespace orlu;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    const QDate today(2026, 12, 10);
    const Settings read =
        settingsFromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), today);
    const Settings saved = settingsFromBytes(settingsToBytes(read), today);
    FUZZ_ASSERT(settingsFromBytes(settingsToBytes(saved), today) == saved);
    return 0;
}
