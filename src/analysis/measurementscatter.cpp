#include "analysis/measurementscatter.h"

#include "core/numberformat.h"
#include "quality/readingcaveats.h"

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

QString ScatterModel::explanation() const {
    const QString meaning =
        u"MDC95 (最小可测变化): 同一人隔几分钟重测，读数本身也会有出入。"
        u"两次测量的差别小于 MDC95 时，可能只是测量误差，不能算是真正的变化 (95% 把握)。"_s;
    if (practicePairs == 0)
        return meaning + u"\n文献值: 依已发表研究的重复测量误差估计 (单点 %1%，身体能量 %2%)；"
                         u"本机累积 %3 对 30 分钟内的重复测量后，改用本机的数据。"_s.arg(
                             QString::number(pointCv * 100, 'f', 0),
                             QString::number(bodyEnergyCv * 100, 'f', 0),
                             QString::number(scatter::MinimumPairs));
    return meaning +
           u"\n本机 %1 对重复测量: 依本机同一受测者 30 分钟内两次测量的差别估计 (单点 %2%，身体能量 %3%)。"_s
               .arg(QString::number(practicePairs), QString::number(pointCv * 100, 'f', 0),
                    QString::number(bodyEnergyCv * 100, 'f', 0));
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

Change changeBetween(double earlier, double later, double cv) {
    Change c;
    c.earlier = earlier;
    c.later = later;
    c.difference = later - earlier;
    c.mdc = mdc95(cv, earlier, later);
    c.withinScatter = std::abs(c.difference) < c.mdc;
    return c;
}

QString changeText(const Change &change) {
    if (!change.caveat.isEmpty())
        return change.caveat;
    return change.withinScatter ? u"在测量误差范围内"_s : u"超出测量误差"_s;
}

QString changeFigure(const Change &change, int decimals) {
    const auto shown = [decimals](double v) { return formatFixed(v, 1, decimals).toDouble(); };
    const double d = shown(change.later) - shown(change.earlier);
    return (d >= 0 ? u"+"_s : QString()) + formatFixed(d, 1, decimals);
}

QString changeDescription(const Change &change, int decimals) {
    return u"%1 %2 (MDC95 %3)"_s.arg(changeFigure(change, decimals), changeText(change),
                                     formatFixed(change.mdc, 1, 1));
}

MeasurementChanges changesBetween(const std::array<double, 24> &earlier, const std::array<double, 24> &later,
                                  const ScatterModel &model) {
    MeasurementChanges changes;
    for (std::size_t c = 0; c < earlier.size(); ++c)
        changes.channels[c] = changeBetween(earlier[c], later[c], model.pointCv);
    changes.bodyEnergy = changeBetween(meanOf(earlier), meanOf(later), model.bodyEnergyCv);
    return changes;
}

ChangeOverTime changeOverTime(const DatedReadings &first, const DatedReadings &second,
                              const ScatterModel &model) {
    ChangeOverTime c;
    c.firstIsLater = first.measuredAt > second.measuredAt;
    const DatedReadings &earlier = c.firstIsLater ? second : first;
    const DatedReadings &later = c.firstIsLater ? first : second;
    c.earlierBodyEnergy = meanOf(earlier.corrected);
    c.laterBodyEnergy = meanOf(later.corrected);
    c.changes = changesBetween(earlier.corrected, later.corrected, model);
    return c;
}

} // namespace orlu
