#include "quality/verdicts.h"

#include "core/channels.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

struct VerdictName {
    QualityVerdict verdict;
    QString word;
    QString label;
};

const std::array<VerdictName, 6> &verdictNames() {
    static const std::array<VerdictName, 6> names{{
        {QualityVerdict::Steady, u"steady"_s, u"稳定"_s},
        {QualityVerdict::Saturated, u"saturated"_s, u"饱和"_s},
        {QualityVerdict::TooFew, u"tooFew"_s, u"读数过少"_s},
        {QualityVerdict::NearFloor, u"nearFloor"_s, u"接近下限"_s},
        {QualityVerdict::Noisy, u"noisy"_s, u"不稳"_s},
        {QualityVerdict::Drifting, u"drifting"_s, u"漂移"_s},
    }};
    return names;
}

const VerdictName &nameOf(QualityVerdict verdict) {
    const auto &names = verdictNames();
    return *std::find_if(names.begin(), names.end(),
                         [&](const VerdictName &n) { return n.verdict == verdict; });
}

} // namespace

QString verdictWord(QualityVerdict verdict) {
    return nameOf(verdict).word;
}

std::optional<QualityVerdict> verdictFromWord(const QString &word) {
    for (const VerdictName &n : verdictNames()) {
        if (n.word == word)
            return n.verdict;
    }
    return std::nullopt;
}

QString verdictLabel(QualityVerdict verdict) {
    return nameOf(verdict).label;
}

QStringList flagWords(QualityFlags flags) {
    QStringList words;
    if (flags.testFlag(QualityFlag::Saturated))
        words << u"saturated"_s;
    if (flags.testFlag(QualityFlag::NearFloor))
        words << u"nearFloor"_s;
    if (flags.testFlag(QualityFlag::TooFew))
        words << u"tooFew"_s;
    if (flags.testFlag(QualityFlag::Retried))
        words << u"retried"_s;
    return words;
}

VerdictMark verdictMark(QualityVerdict verdict) {
    switch (verdict) {
    case QualityVerdict::Steady:
        return VerdictMark::None;
    case QualityVerdict::Noisy:
    case QualityVerdict::Drifting:
        return VerdictMark::Moved;
    case QualityVerdict::Saturated:
    case QualityVerdict::TooFew:
    case QualityVerdict::NearFloor:
        return VerdictMark::Unsound;
    }
    return VerdictMark::None;
}

bool isDoubtful(const MeasurementQuality &quality, int channel) {
    const std::optional<PointQuality> &q = quality[static_cast<std::size_t>(channel - 1)];
    return q && q->verdict != QualityVerdict::Steady;
}

QList<int> unsteadyChannels(const MeasurementQuality &quality) {
    QList<int> channels;
    for (int c = 1; c <= ChannelCount; ++c) {
        if (isDoubtful(quality, c))
            channels << c;
    }
    return channels;
}

QString qualitySummary(const MeasurementQuality &quality) {
    if (std::none_of(quality.begin(), quality.end(), [](const auto &q) { return q.has_value(); }))
        return {};
    const QList<int> unsteady = unsteadyChannels(quality);
    const auto steady = std::count_if(quality.begin(), quality.end(), [](const auto &q) {
        return q && q->verdict == QualityVerdict::Steady;
    });
    QString text = u"测量质量: %1/%2 稳定"_s.arg(steady).arg(ChannelCount);
    if (unsteady.isEmpty())
        return text;
    QStringList named;
    for (int c : unsteady) {
        named << sideMeridianName(c) + u" ("_s + verdictLabel(quality[c - 1]->verdict) + u')';
    }
    return text + u"；可疑: "_s + named.join(u"、"_s);
}

} // namespace orlu
