// The JSON that "orlu-cli quality" reads. Its promise: a refusal with a message, or an
// assessment written as one JSON object with its verdict.
#include "fuzzcheck.h"
#include "quality/pointqualityjson.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>

using namespace orlu;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    QString error;
    const std::optional<QualityInput> input =
        parseQualityInput(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error);
    if (!input) {
        FUZZ_ASSERT(!error.isEmpty());
        return 0;
    }
    const QJsonDocument written =
        QJsonDocument::fromJson(qualityJson(assessPoint(input->samples, input->threshold, input->attempts)));
    FUZZ_ASSERT(written.isObject() && written.object().value(QStringLiteral("verdict")).isString());
    return 0;
}
