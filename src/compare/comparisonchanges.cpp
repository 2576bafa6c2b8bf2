#include "compare/comparisonchanges.h"

#include "core/channels.h"
#include "core/numberformat.h"

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
    const Change &energy = c.changes.bodyEnergy;
    out.bodyEnergy << u"身体能量 (补偿值平均)"_s
                   << u"较早 %1: %2"_s.arg(c.firstIsLater ? second : first,
                                           formatFixed(c.earlierBodyEnergy, 1, 2))
                   << u"较晚 %1: %2"_s.arg(c.firstIsLater ? first : second,
                                           formatFixed(c.laterBodyEnergy, 1, 2))
                   << u"变化: "_s + changeFigure(energy, 2) << changeText(energy)
                   << u"误差范围 ±%1 (%2)"_s.arg(formatFixed(energy.mdc, 1, 1), model.source());
    int beyond = 0;
    QStringList details;
    for (int ch = 1; ch <= ChannelCount; ++ch) {
        const Change &point = c.changes.channels[size_t(ch - 1)];
        beyond += point.withinScatter ? 0 : 1;
        details << sideMeridianName(ch) + u": "_s + changeDescription(point, 1);
    }
    out.points = u"%1/24 点的变化超出测量误差"_s.arg(beyond);
    out.pointDetails = u"各点变化 (较晚减较早):\n"_s + details.join(u'\n');
    return out;
}

} // namespace orlu
