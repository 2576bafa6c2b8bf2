#include "analysis/measurementscatter.h"

#include "core/readingcaveats.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

// The squared CV of two values, (sd / mean)^2 with sd = |a - b| / sqrt(2); none
// when either is 0 (a point not measured).
bool addSquaredCv(double a, double b, double &sum, int &count) {
    if (a <= 0 || b <= 0)
        return false;
    const double mean = (a + b) / 2;
    const double sd = std::abs(a - b) / std::sqrt(2.0);
    sum += (sd / mean) * (sd / mean);
    ++count;
    return true;
}

// The body energy left out of the comparison: 0 without any measured point.
double meanOf(const std::array<double, 24> &values) {
    return measuredMean(values).value_or(0.0);
}

} // namespace

QString ScatterModel::source() const {
    return practicePairs == 0 ? u"文献值"_s : u"本机 %1 对重复测量"_s.arg(practicePairs);
}

ScatterModel scatterModelOf(const QList<RepeatPair> &pairs) {
    ScatterModel model;
    if (pairs.size() < scatter::MinimumPairs)
        return model;
    double points = 0;
    int pointCount = 0;
    double body = 0;
    int bodyCount = 0;
    for (const RepeatPair &p : pairs) {
        for (std::size_t c = 0; c < p[0].size(); ++c)
            addSquaredCv(p[0][c], p[1][c], points, pointCount);
        // A mean over fewer points scatters more: only whole measurements tell the body energy's.
        if (unmeasuredChannels(p[0]).isEmpty() && unmeasuredChannels(p[1]).isEmpty())
            addSquaredCv(meanOf(p[0]), meanOf(p[1]), body, bodyCount);
    }
    if (pointCount == 0 || bodyCount == 0)
        return model;
    model.pointCv = std::sqrt(points / pointCount);
    model.bodyEnergyCv = std::sqrt(body / bodyCount);
    model.practicePairs = static_cast<int>(pairs.size());
    return model;
}

double mdc95(double cv, double a, double b) {
    return 1.96 * std::sqrt(2.0) * cv * (a + b) / 2;
}

Change changeBetween(double first, double second, double cv) {
    Change c;
    c.difference = second - first;
    c.mdc = mdc95(cv, first, second);
    c.withinScatter = std::abs(c.difference) < c.mdc;
    return c;
}

QString changeText(const Change &change) {
    return change.withinScatter ? u"在测量误差范围内"_s : QString();
}

MeasurementChanges changesBetween(const std::array<double, 24> &first, const std::array<double, 24> &second,
                                  const ScatterModel &model) {
    MeasurementChanges changes;
    for (std::size_t c = 0; c < first.size(); ++c)
        changes.channels[c] = changeBetween(first[c], second[c], model.pointCv);
    changes.bodyEnergy = changeBetween(meanOf(first), meanOf(second), model.bodyEnergyCv);
    return changes;
}

} // namespace orlu
