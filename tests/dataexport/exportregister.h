#pragma once

#include "core/daycount.h"
#include "recordfixture.h"

namespace orlu::test {

// The register the export tests read: two subjects, one with every personal field and a
// birth date on the last day of a year, and three measurements, the first with a memo.
inline std::unique_ptr<RecordFixture> exportRegister() {
    using namespace Qt::StringLiterals;
    auto f = std::make_unique<RecordFixture>();
    f->addSubject(u"A001"_s, u"王小明"_s, true, toDayCount(QDate(1990, 12, 31)), u"北京市, 中山路 1号"_s,
                  u"010-5550101"_s);
    f->addSubject(u"B002"_s, u"李丽"_s, false, 0, u"上海市"_s, u"021-5550202"_s);
    f->addMeasurement(u"A001"_s, toDayCount(QDateTime(QDate(2026, 3, 1), QTime(9, 30))), 40.0, false,
                      u"第一次"_s);
    f->addMeasurement(u"A001"_s, toDayCount(QDateTime(QDate(2026, 6, 1), QTime(14, 5, 7))), 55.0, true);
    f->addMeasurement(u"B002"_s, toDayCount(QDateTime(QDate(2025, 1, 2), QTime(8, 0))), 30.0);
    return f;
}

} // namespace orlu::test
