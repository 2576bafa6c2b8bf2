#include "measure/pointquality.h"

#include <algorithm>
#include <array>
#include <cmath>

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
    return *std::find_if(names.begin(), names.end(), [&](const VerdictName &n) { return n.verdict == verdict; });
}

double percentOf(double part, double mean) {
    return mean != 0 ? 100.0 * part / mean : 0.0;
}

bool averaged(const QualitySample &s) {
    return s.tick >= quality::FirstAveragedTick;
}

// Least-squares slope of the averaged readings over seconds; 0 without a
// spread in time.
double slopePerSecond(std::span<const QualitySample> samples, int count, double meanReading) {
    if (count < 2)
        return 0;
    double meanT = 0;
    for (const QualitySample &s : samples) {
        if (averaged(s))
            meanT += s.elapsedMs / 1000.0;
    }
    meanT /= count;
    double sxy = 0;
    double sxx = 0;
    for (const QualitySample &s : samples) {
        if (!averaged(s))
            continue;
        const double dt = s.elapsedMs / 1000.0 - meanT;
        sxy += dt * (s.reading - meanReading);
        sxx += dt * dt;
    }
    return sxx > 0 ? sxy / sxx : 0;
}

} // namespace

PointQuality assessPoint(std::span<const QualitySample> samples, double thresholdUnits, int attempts) {
    PointQuality q;
    q.attempts = attempts;
    double peak = 0;
    bool hasSettling = false;
    bool saturated = false;
    for (const QualitySample &s : samples) {
        if (s.tick == 1) {
            peak = hasSettling ? std::max(peak, s.reading) : s.reading;
            hasSettling = true;
        }
        if (averaged(s)) {
            ++q.samples;
            q.mean += s.reading;
            saturated = saturated || s.reading >= quality::SaturatedReading;
        }
    }
    if (q.samples > 0)
        q.mean /= q.samples;
    if (q.samples > 1) {
        double squares = 0;
        for (const QualitySample &s : samples) {
            if (averaged(s))
                squares += (s.reading - q.mean) * (s.reading - q.mean);
        }
        q.sd = std::sqrt(squares / (q.samples - 1));
    }
    q.cvPercent = percentOf(q.sd, q.mean);
    q.driftPercentPerSecond = percentOf(slopePerSecond(samples, q.samples, q.mean), q.mean);
    q.settlingPercent = hasSettling ? percentOf(peak - q.mean, q.mean) : 0.0;

    if (saturated)
        q.flags |= FlagSaturated;
    if (q.mean < quality::FloorFactor * thresholdUnits)
        q.flags |= FlagNearFloor;
    if (q.samples < quality::MinimumSamples)
        q.flags |= FlagTooFew;
    if (attempts > 1)
        q.flags |= FlagRetried;

    if (q.flags & FlagSaturated)
        q.verdict = QualityVerdict::Saturated;
    else if (q.flags & FlagTooFew)
        q.verdict = QualityVerdict::TooFew;
    else if (q.flags & FlagNearFloor)
        q.verdict = QualityVerdict::NearFloor;
    else if (q.cvPercent > quality::NoisyCvPercent)
        q.verdict = QualityVerdict::Noisy;
    else if (std::abs(q.driftPercentPerSecond) > quality::DriftingPercentPerSecond)
        q.verdict = QualityVerdict::Drifting;
    else
        q.verdict = QualityVerdict::Steady;
    return q;
}

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

QStringList flagWords(unsigned flags) {
    QStringList words;
    if (flags & FlagSaturated)
        words << u"saturated"_s;
    if (flags & FlagNearFloor)
        words << u"nearFloor"_s;
    if (flags & FlagTooFew)
        words << u"tooFew"_s;
    if (flags & FlagRetried)
        words << u"retried"_s;
    return words;
}

QString qualityRulesText() {
    return u"读数质量按该点第 %1 拍起计入数值的读数判断（依次）：有读数达到 %2 为饱和；读数少于 %3 个为读数过少；"
           u"平均值低于测量反应值的 %4 倍为接近下限；变异系数超过 %5% 为不稳；每秒变化超过平均值的 %6% 为漂移；"
           u"其余为稳定。"_s
        .arg(quality::FirstAveragedTick)
        .arg(quality::SaturatedReading)
        .arg(quality::MinimumSamples)
        .arg(quality::FloorFactor)
        .arg(quality::NoisyCvPercent)
        .arg(quality::DriftingPercentPerSecond);
}

} // namespace orlu
