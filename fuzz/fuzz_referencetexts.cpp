// The readable source of the reference texts, as setup reads it. Its promise: a refusal
// naming a line, or every key 1..17 once.
#include "fuzzcheck.h"
#include "analysis/referencetextsource.h"

#include <QSet>

#include <cstdint>

using namespace orlu;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    QList<ReferenceRecord> records;
    QString error;
    const QString source = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!parseReferenceTextSource(source, &records, &error)) {
        FUZZ_ASSERT(!error.isEmpty());
        return 0;
    }
    QSet<int> keys;
    for (const ReferenceRecord &r : records) {
        FUZZ_ASSERT(r.key >= 1 && r.key <= 17 && !keys.contains(r.key));
        keys.insert(r.key);
    }
    FUZZ_ASSERT(keys.size() == 17);
    return 0;
}
