#include "compare/comparisonset.h"

#include "core/channels.h"
#include "quality/readingcaveats.h"

namespace orlu {

using namespace Qt::StringLiterals;

ComparisonEntry ComparisonEntry::fromReadings(qint64 measurementKey, const QString &subjectNumber,
                                              const QString &subjectName, double measuredAt,
                                              bool highPotential, const std::array<double, 24> &readings) {
    ComparisonEntry e;
    e.measurementKey = measurementKey;
    e.subjectNumber = subjectNumber;
    e.subjectName = subjectName;
    e.measuredAt = measuredAt;
    e.highPotential = highPotential;
    for (int c = 1; c <= ChannelCount; ++c) {
        const auto i = static_cast<std::size_t>(c - 1);
        e.corrected[i] = correctedValue(c, readings[i]);
    }
    e.energyLevel = measuredMean(e.corrected).value_or(0.0);
    return e;
}

bool isSameRecord(const ComparisonEntry &a, const ComparisonEntry &b) {
    return a.measurementKey == b.measurementKey;
}

ComparisonSet::AddResult ComparisonSet::add(const ComparisonEntry &entry) {
    if (isFull())
        return AddResult::Full;
    for (const ComparisonEntry &e : m_entries) {
        if (isSameRecord(e, entry))
            return AddResult::Duplicate;
    }
    m_entries.append(entry);
    return AddResult::Added;
}

bool ComparisonSet::remove(int index) {
    if (index < 0 || index >= size())
        return false;
    m_entries.removeAt(index);
    return true;
}

QString comparisonSetFullMessage() {
    return u"您已选取了超过 6 个比对数据,请先删除不需比对的数据后,再行选取!"_s;
}

QString comparisonDuplicateMessage() {
    return u"这笔数据已经选取! 请勿重复加载要比对的数据!!"_s;
}

} // namespace orlu
