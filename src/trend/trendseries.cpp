#include "trend/trendseries.h"

#include "core/channels.h"
#include "core/numberformat.h"

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
        if (visits[before].highPotential == visits[visit].highPotential) {
            Change c =
                changeBetween(visits[before].bodyEnergy, visits[visit].bodyEnergy, scatter.bodyEnergyCv);
            c.caveat = bodyEnergyChangeCaveat(visits[before].caveats, visits[visit].caveats);
            return c;
        }
    }
    return std::nullopt;
}

bool TrendSeries::hasHighPotential() const {
    return std::any_of(visits.begin(), visits.end(), [](const TrendVisit &v) { return v.highPotential; });
}

TrendVisit trendVisitOf(qint64 key, double measuredAt, bool highPotential,
                        const std::array<double, 24> &plainReadings, bool male,
                        const MeasurementQuality &quality) {
    const std::array<double, 24> corrected = correctedValues(plainReadings);
    TrendVisit v;
    v.key = key;
    v.measuredAt = measuredAt;
    v.highPotential = highPotential;
    v.caveats = caveatsOf(plainReadings, quality);
    if (v.caveats.incomplete()) {
        // An unmeasured point is no reading of 0 uA: it stays out of the sums.
        v.bodyEnergy = measuredMean(corrected).value_or(0.0);
        return v;
    }
    const AnalysisResult a = analyse(corrected, male);
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

QString trendBodyEnergyText(const TrendVisit &v) {
    const QString energy = formatFixed(v.bodyEnergy, 5, 2).trimmed();
    if (v.caveats.incomplete())
        return energy + u" (%1/%2 点)"_s.arg(ChannelCount - v.caveats.unmeasured).arg(ChannelCount);
    return markedReading(energy, v.caveats.mostlyDoubtful());
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
