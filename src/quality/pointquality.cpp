#include "quality/pointquality.h"

#include "quality/verdicts.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

double percentOf(double part, double mean) {
    return mean != 0 ? 100.0 * part / mean : 0.0;
}

bool averaged(const QualitySample &s) {
    return s.tick >= FirstAveragedTick;
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
        q.flags |= QualityFlag::Saturated;
    if (q.mean < quality::FloorFactor * thresholdUnits)
        q.flags |= QualityFlag::NearFloor;
    if (q.samples < quality::MinimumSamples)
        q.flags |= QualityFlag::TooFew;
    if (attempts > 1)
        q.flags |= QualityFlag::Retried;

    if (q.flags.testFlag(QualityFlag::Saturated))
        q.verdict = QualityVerdict::Saturated;
    else if (q.flags.testFlag(QualityFlag::TooFew))
        q.verdict = QualityVerdict::TooFew;
    else if (q.flags.testFlag(QualityFlag::NearFloor))
        q.verdict = QualityVerdict::NearFloor;
    else if (q.cvPercent > quality::NoisyCvPercent)
        q.verdict = QualityVerdict::Noisy;
    else if (std::abs(q.driftPercentPerSecond) > quality::DriftingPercentPerSecond)
        q.verdict = QualityVerdict::Drifting;
    else
        q.verdict = QualityVerdict::Steady;
    return q;
}

QString qualityDescription(const PointQuality &q, double value) {
    const auto fixed = [](double v, int decimals) { return QString::number(v, 'f', decimals); };
    // The value is the mean reading on the probe's scale, so that ratio takes the spread to uA too.
    const double toMicroamps = q.mean > 0 ? value / q.mean : 0.0;
    QString text =
        u"读数质量: %1\n计入读数: %2 个\n平均: %3 uA\n标准差: %4 uA\n变异系数: %5%\n漂移: %6%/秒\n"
        u"起始过冲: %7%\n尝试: %8 次"_s.arg(verdictLabel(q.verdict))
            .arg(q.samples)
            .arg(fixed(q.mean * toMicroamps, 1), fixed(q.sd * toMicroamps, 1), fixed(q.cvPercent, 1),
                 fixed(q.driftPercentPerSecond, 1), fixed(q.settlingPercent, 1))
            .arg(q.attempts);
    return text;
}

QString qualityDescription(const std::optional<PointQuality> &quality, double value) {
    if (quality)
        return qualityDescription(*quality, value);
    return value != 0.0 ? u"读数质量: —"_s : QString();
}

QString qualityRulesText() {
    return u"读数质量按该点第 %1 拍起计入数值的读数判断（依次）：有读数达到 %2 为饱和；读数少于 %3 "
           u"个为读数过少；"
           u"平均值低于测量反应值的 %4 倍为接近下限；变异系数超过 %5% 为不稳；每秒变化超过平均值的 %6% "
           u"为漂移；"
           u"其余为稳定。"_s.arg(FirstAveragedTick)
               .arg(quality::SaturatedReading)
               .arg(quality::MinimumSamples)
               .arg(quality::FloorFactor)
               .arg(quality::NoisyCvPercent)
               .arg(quality::DriftingPercentPerSecond);
}

} // namespace orlu
