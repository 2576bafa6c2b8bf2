#include "analysis/analysis.h"

#include "core/channels.h"
#include "core/numberformat.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

// Gauges are integers; a value from a wildly wrong input must not overflow the cast.
int gaugeOf(double v) {
    if (std::isnan(v))
        return 0;
    return roundHalfEvenInt(std::clamp(v, -1.0e9, 1.0e9));
}

QString ratioSumText(const char16_t *upper, double numerator, const char16_t *lower, double denominator) {
    return QString::fromUtf16(upper) + formatFixed(numerator, 6, 1) + u" / "_s + QString::fromUtf16(lower) +
           formatFixed(denominator, 6, 1) + u" ="_s;
}

StateIndicator bodyEnergyIndicator(double energy, bool male, bool texts) {
    StateIndicator s;
    s.item = StateItem::BodyEnergy;
    s.value = energy;
    s.numerator = energy;
    s.denominator = 1.0;
    s.code = bodyEnergyCode(energy, male);
    if (texts) {
        s.sumText = u"12经络平均能量="_s;
        s.valueText = formatFixed(energy, 5, 2);
    }
    s.gauge = gaugeOf(energy);
    return s;
}

// A ratio indicator; an undefined ratio (zero divisor) has no value, verdict or gauge.
StateIndicator ratioIndicator(StateItem item, double numerator, double denominator, bool male,
                              const char16_t *upperLabel, const char16_t *lowerLabel, bool texts) {
    StateIndicator s;
    s.item = item;
    s.numerator = numerator;
    s.denominator = denominator;
    if (texts)
        s.sumText = ratioSumText(upperLabel, numerator, lowerLabel, denominator);
    if (denominator == 0.0)
        return s;
    const double r = numerator / denominator;
    s.value = r;
    switch (item) {
    case StateItem::Spirit:
        s.code = spiritCode(r, male);
        break;
    case StateItem::Musculoskeletal:
        s.code = musculoskeletalCode(r);
        break;
    case StateItem::Metabolism:
        s.code = metabolismCode(r);
        break;
    case StateItem::Autonomic:
        s.code = autonomicCode(r);
        break;
    case StateItem::BodyEnergy:
        break;
    }
    if (texts)
        s.valueText = formatFixed(r, 5, 3);
    s.gauge = gaugeOf(10.0 * r);
    return s;
}

void finishState(StateIndicator &s, bool male, bool texts) {
    if (texts) {
        s.caption = stateCaption(s.item);
        s.normalRange = normalRangeLabel(s.item, male);
    }
    if (s.code) {
        if (texts)
            s.verdictText = verdictText(s.item, *s.code);
        s.colour = stateColour(s.item, *s.code);
    } else {
        s.colour = colours::Grey;
    }
}

ElementIndicator elementIndicator(Element e, double mean, double energy, const BandLimits &bands,
                                  bool texts) {
    ElementIndicator x;
    x.element = e;
    x.mean = mean;
    x.distance = mean - energy;
    x.grade = gradeOf(x.distance, bands);
    x.colour = gradeColour(x.grade);
    if (texts) {
        x.meanText = formatFixed(mean, 3, 1);
        x.distanceText = u"["_s + formatFixed(x.distance, 3, 1) + u"]"_s;
    }
    x.gauge = gaugeOf(mean);
    return x;
}

} // namespace

int AnalysisResult::leftGrade(int m) const {
    return grade(channelOf(m, Side::Left));
}

int AnalysisResult::rightGrade(int m) const {
    return grade(channelOf(m, Side::Right));
}

MeridianState AnalysisResult::meridianState(int m) const {
    const int a = leftGrade(m);
    const int b = rightGrade(m);
    if (a > 0 && b > 0)
        return MeridianState::Excess;
    if (a < 0 && b < 0)
        return MeridianState::Deficiency;
    if (a != 0 && b != 0)
        return MeridianState::Mixed;
    return MeridianState::Normal;
}

std::array<double, 24> correctedValues(const std::array<double, 24> &readings) {
    std::array<double, 24> w{};
    for (int c = 1; c <= ChannelCount; ++c)
        w[c - 1] = correctedValue(c, readings[c - 1]);
    return w;
}

AnalysisResult analyse(const std::array<double, 24> &corrected, bool male, AnalysisTexts withTexts) {
    const bool texts = withTexts == AnalysisTexts::Included;
    AnalysisResult r;
    r.male = male;
    if (texts)
        r.sexLabel = male ? u"男  性"_s : u"女  性"_s;
    r.sexColour = male ? colours::Green : colours::Red;
    r.corrected = corrected;
    const auto w = [&](int c) { return corrected[c - 1]; };

    // Sums.
    for (int k = 0; k < 8; ++k)
        r.groups[k] = w(3 * k + 1) + w(3 * k + 2) + w(3 * k + 3);
    const auto &g = r.groups;
    r.yinSum = g[0] + g[2] + g[4] + g[6];
    r.yangSum = g[1] + g[3] + g[5] + g[7];
    r.upperSum = g[0] + g[1] + g[2] + g[3];
    r.lowerSum = g[4] + g[5] + g[6] + g[7];
    r.leftSum = g[0] + g[1] + g[4] + g[5];
    r.rightSum = g[2] + g[3] + g[6] + g[7];
    r.bodyEnergy = (g[0] + g[1] + g[2] + g[3] + g[4] + g[5] + g[6] + g[7]) / 24.0;
    const double a = r.bodyEnergy;

    // Bands, deviations and channel grades.
    r.bands = bandLimits(a);
    for (int c = 1; c <= ChannelCount; ++c) {
        r.deviations[c - 1] = w(c) - a;
        r.channelGrades[c - 1] = gradeOf(r.deviations[c - 1], r.bands);
    }

    // Elements in the generating cycle.
    const double wood = (w(14) + w(17) + w(20) + w(23)) / 4.0;
    const double fire = (w(2) + w(3) + w(4) + w(5) + w(8) + w(9) + w(10) + w(11)) / 8.0;
    const double earth = (w(13) + w(18) + w(19) + w(24)) / 4.0;
    const double metal = (w(1) + w(6) + w(7) + w(12)) / 4.0;
    const double water = (w(15) + w(16) + w(21) + w(22)) / 4.0;
    r.elements = {elementIndicator(Element::Wood, wood, a, r.bands, texts),
                  elementIndicator(Element::Fire, fire, a, r.bands, texts),
                  elementIndicator(Element::Earth, earth, a, r.bands, texts),
                  elementIndicator(Element::Metal, metal, a, r.bands, texts),
                  elementIndicator(Element::Water, water, a, r.bands, texts)};

    // Meridian means.
    for (int m = 1; m <= MeridianCount; ++m)
        r.meridianMeans[m - 1] = (w(channelOf(m, Side::Left)) + w(channelOf(m, Side::Right))) / 2.0;

    // Highest and lowest group; a lowest group of 0 becomes 1.0 so the autonomic ratio stays defined.
    r.highestGroup = g[0];
    r.lowestGroup = g[7];
    for (double v : g) {
        r.highestGroup = std::max(r.highestGroup, v);
        r.lowestGroup = std::min(r.lowestGroup, v);
    }
    if (r.lowestGroup == 0.0)
        r.lowestGroup = 1.0;

    // State verdicts.
    r.states = {
        bodyEnergyIndicator(a, male, texts),
        ratioIndicator(StateItem::Spirit, r.upperSum, r.lowerSum, male, u"上", u"下", texts),
        ratioIndicator(StateItem::Musculoskeletal, r.leftSum, r.rightSum, male, u"左", u"右", texts),
        ratioIndicator(StateItem::Metabolism, r.yinSum, r.yangSum, male, u"阴", u"阳", texts),
        ratioIndicator(StateItem::Autonomic, r.highestGroup, r.lowestGroup, male, u"高", u"低", texts),
    };
    for (auto &s : r.states)
        finishState(s, male, texts);

    // Interior-exterior pairs: LU-LI, PC-SJ, HT-SI, SP-ST, LR-GB, KI-BL.
    const auto &order = standardOrderPairs();
    for (int i = 0; i < PairCount; ++i) {
        PairBalance &p = r.pairs[i];
        p.yinMeridian = order[i].yin;
        p.yangMeridian = order[i].yang;
        p.yinMean = r.meridianMean(p.yinMeridian);
        p.yangMean = r.meridianMean(p.yangMeridian);
        p.difference = std::abs(p.yinMean - p.yangMean);
        p.code = pairCode(p.difference, r.bands);
        p.colour = pairColour(p.code);
        if (texts) {
            p.text = pairText(p.code);
            p.differenceText = u"#"_s + formatFixed(p.difference, 5, 1);
            p.yinMeanText = formatFixed(p.yinMean, 5, 1);
            p.yangMeanText = formatFixed(p.yangMean, 5, 1);
        }
        p.gauge = gaugeOf(std::min(p.difference, 100.0));
    }

    // The three lists of abnormal meridians.
    if (!texts)
        return r;
    for (const auto &s : r.states)
        r.differentiationList.append({s.caption, static_cast<int>(s.item)});
    for (int m = 1; m <= MeridianCount; ++m) {
        const MeridianState st = r.meridianState(m);
        if (st == MeridianState::Normal)
            continue;
        r.differentiationList.append({differentiationCaption(m), m});
        r.dietList.append({dietCaption(m), m});
        if (st != MeridianState::Mixed)
            r.prescriptionList.append({prescriptionCaption(m), m});
    }
    return r;
}

} // namespace orlu
