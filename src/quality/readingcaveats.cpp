#include "quality/readingcaveats.h"

#include "quality/verdicts.h"

#include <QStringList>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

QString unmeasuredWord() {
    return u"unmeasured"_s;
}

QList<int> unmeasuredChannels(const std::array<double, 24> &values) {
    QList<int> channels;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] == 0.0)
            channels << static_cast<int>(i) + 1;
    }
    return channels;
}

std::optional<double> measuredMean(const std::array<double, 24> &values) {
    double sum = 0;
    int count = 0;
    for (double v : values) {
        if (v != 0.0) {
            sum += v;
            ++count;
        }
    }
    return count > 0 ? std::optional(sum / count) : std::nullopt;
}

ReadingCaveats caveatsOf(const std::array<double, 24> &values, const MeasurementQuality &quality) {
    ReadingCaveats caveats;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] == 0.0) {
            ++caveats.unmeasured;
        } else if (quality[i]) {
            ++caveats.judged;
            caveats.doubtful += isDoubtful(quality, static_cast<int>(i) + 1) ? 1 : 0;
        }
    }
    return caveats;
}

QString ReadingCaveats::text() const {
    QStringList parts;
    if (unmeasured > 0)
        parts << u"未完成: %1 点未测量"_s.arg(unmeasured);
    if (doubtful > 0)
        parts << u"可疑读数 %1/%2 点"_s.arg(doubtful).arg(judged);
    return parts.join(u"；"_s);
}

QString statusQualitySummary(const MeasurementQuality &quality) {
    const QList<int> doubtful = unsteadyChannels(quality);
    if (doubtful.size() <= 3)
        return qualitySummary(quality);
    const auto judged =
        std::count_if(quality.begin(), quality.end(), [](const auto &q) { return q.has_value(); });
    return u"测量质量: %1/%2 稳定；%3 点读数可疑 (见表格中的标记)"_s.arg(judged - doubtful.size())
        .arg(quality.size())
        .arg(doubtful.size());
}

QString markedReading(const QString &text, bool doubtful) {
    return doubtful && !text.isEmpty() ? text + u'?' : text;
}

QString doubtfulMarkLegend() {
    return u"? 读数可疑"_s;
}

QString bodyEnergyChangeCaveat(const ReadingCaveats &first, const ReadingCaveats &second) {
    if (first.incomplete() || second.incomplete())
        return u"无法判断: 测量未完成"_s;
    if (first.mostlyDoubtful() || second.mostlyDoubtful())
        return u"无法判断: 多数读数可疑"_s;
    return {};
}

QString pointChangeCaveat(bool unmeasured, bool doubtful) {
    if (unmeasured)
        return u"无法判断: 未测量"_s;
    return doubtful ? u"无法判断: 读数可疑"_s : QString();
}

} // namespace orlu
