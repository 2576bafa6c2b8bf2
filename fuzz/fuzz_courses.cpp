// The readable source of the supplied courses, as setup reads it. Its promise: a refusal
// with a message, or courses each with its number, its name and a condition.
#include "fuzzcheck.h"
#include "courses/suppliedcourses.h"

#include <cstdint>

using namespace orlu;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    QString error;
    const auto courses =
        parseSuppliedCourses(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error);
    if (!courses) {
        FUZZ_ASSERT(!error.isEmpty());
        return 0;
    }
    for (const SuppliedCourse &c : *courses)
        FUZZ_ASSERT(!c.course.proNo.trimmed().isEmpty() && !c.course.name.trimmed().isEmpty() &&
                    !c.conditions.isEmpty());
    return 0;
}
