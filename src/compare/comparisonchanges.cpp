#include "compare/comparisonchanges.h"

#include "core/channels.h"
#include "core/numberformat.h"
#include "quality/readingcaveats.h"
#include "quality/verdicts.h"

namespace orlu {

using namespace Qt::StringLiterals;

QStringList ComparisonChanges::paperLines() const {
    if (points.isEmpty())
        return {};
    return {bodyEnergy.first() + u": "_s + bodyEnergy.mid(1).join(u"，"_s), points + u"；"_s + energyNote,
            explanation};
}

ComparisonChanges comparisonChanges(const ComparisonRecord &original,
                                    const std::optional<ComparisonRecord> &comparison,
                                    const ScatterModel &model) {
    ComparisonChanges out;
    out.energyNote = u"体能 = 24 点原始读数平均 (未乘补偿系数)，与能量分析的身体能量不同"_s;
    out.explanation = model.explanation();
    if (!comparison) {
        out.bodyEnergy << u"测量误差: "_s + model.source();
        return out;
    }
    const ChangeOverTime c = changeOverTime({original.measuredAt, original.corrected},
                                            {comparison->measuredAt, comparison->corrected}, model);
    const QString first = u"1.原始资料"_s;
    const QString second = u"2.比对数据"_s;
    // A change is judged only where both readings can bear it; otherwise the reason stands
    // in place of the verdict.
    Change energy = c.changes.bodyEnergy;
    energy.caveat = bodyEnergyChangeCaveat(caveatsOf(original.corrected, original.quality),
                                           caveatsOf(comparison->corrected, comparison->quality));
    out.bodyEnergy << u"身体能量 (补偿值平均)"_s
                   << u"较早 %1: %2"_s.arg(c.firstIsLater ? second : first,
                                           formatFixed(c.earlierBodyEnergy, 1, 2))
                   << u"较晚 %1: %2"_s.arg(c.firstIsLater ? first : second,
                                           formatFixed(c.laterBodyEnergy, 1, 2))
                   << u"变化: "_s + changeFigure(energy, 2) << changeText(energy)
                   << u"误差范围 ±%1 (%2)"_s.arg(formatFixed(energy.mdc, 1, 1), model.source());
    int beyond = 0;
    int judged = 0;
    QStringList details;
    for (int ch = 1; ch <= ChannelCount; ++ch) {
        const auto i = size_t(ch - 1);
        Change point = c.changes.channels[i];
        const bool unmeasured = original.corrected[i] == 0.0 || comparison->corrected[i] == 0.0;
        point.caveat = pointChangeCaveat(unmeasured, isDoubtful(original.quality, ch) ||
                                                         isDoubtful(comparison->quality, ch));
        judged += point.caveat.isEmpty() ? 1 : 0;
        beyond += point.beyondScatter() ? 1 : 0;
        // A point never measured has no figure to show.
        details << sideMeridianName(ch) + u": "_s + (unmeasured ? point.caveat : changeDescription(point, 1));
    }
    out.points = u"%1/%2 点的变化超出测量误差"_s.arg(beyond).arg(judged);
    if (judged < ChannelCount)
        out.points += u"；%1 点读数可疑或未测量，不作判断"_s.arg(ChannelCount - judged);
    out.pointDetails = u"各点变化 (较晚减较早):\n"_s + details.join(u'\n');
    return out;
}

} // namespace orlu
