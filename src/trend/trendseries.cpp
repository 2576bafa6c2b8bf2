#include "trend/trendseries.h"

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<StateItem, TrendRatioCount> RatioItems{StateItem::Spirit, StateItem::Musculoskeletal,
                                                            StateItem::Metabolism, StateItem::Autonomic};

} // namespace

int TrendSeries::indexOfKey(qint64 key) const {
    for (int i = 0; i < visits.size(); ++i) {
        if (visits[i].key == key)
            return i;
    }
    return -1;
}

std::optional<Change> TrendSeries::bodyEnergyChange(int visit) const {
    if (visit < 0 || visit >= visits.size())
        return std::nullopt;
    for (int before = visit - 1; before >= 0; --before) {
        if (visits[before].highPotential == visits[visit].highPotential)
            return changeBetween(visits[before].bodyEnergy, visits[visit].bodyEnergy, scatter.bodyEnergyCv);
    }
    return std::nullopt;
}

bool TrendSeries::hasHighPotential() const {
    return std::any_of(visits.begin(), visits.end(), [](const TrendVisit &v) { return v.highPotential; });
}

TrendVisit trendVisitOf(qint64 key, double measuredAt, bool highPotential,
                        const std::array<double, 24> &plainReadings, bool male) {
    const AnalysisResult a = analyse(correctedValues(plainReadings), male);
    TrendVisit v;
    v.key = key;
    v.measuredAt = measuredAt;
    v.highPotential = highPotential;
    v.bodyEnergy = a.bodyEnergy;
    const StateIndicator &energy = a.state(StateItem::BodyEnergy);
    v.verdicts[0] = energy.code;
    v.verdictTexts[0] = energy.verdictText;
    for (int i = 0; i < TrendRatioCount; ++i) {
        const StateIndicator &s = a.state(RatioItems[static_cast<std::size_t>(i)]);
        v.ratios[static_cast<std::size_t>(i)] = s.value;
        v.verdicts[static_cast<std::size_t>(i) + 1] = s.code;
        v.verdictTexts[static_cast<std::size_t>(i) + 1] = s.verdictText;
    }
    for (int m = 1; m <= 12; ++m) {
        if (a.meridianState(m) != MeridianState::Normal)
            ++v.abnormalMeridians;
    }
    return v;
}

StateItem trendRatioItem(int ratio) {
    return RatioItems[static_cast<std::size_t>(std::clamp(ratio, 0, TrendRatioCount - 1))];
}

QString ratioTitle(int ratio) {
    static const std::array<QString, TrendRatioCount> titles{u"精神状态比值"_s, u"左右肌骨系统"_s,
                                                             u"新陈代谢功能"_s, u"自律神经平衡度"_s};
    return titles[static_cast<std::size_t>(std::clamp(ratio, 0, TrendRatioCount - 1))];
}

} // namespace orlu
