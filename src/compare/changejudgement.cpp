#include "compare/changejudgement.h"

#include "core/channels.h"
#include "core/numberformat.h"
#include "core/readingcaveats.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString describe(const Change &c, const QString &caveat) {
    const QString verdict = caveat.isEmpty() ? changeText(c) : caveat;
    return u"%1%2 (MDC95 %3) %4"_s.arg(c.difference >= 0 ? u"+"_s : QString(),
                                       formatFixed(c.difference, 1, 1), formatFixed(c.mdc, 1, 1),
                                       verdict.isEmpty() ? u"超出测量误差"_s : verdict);
}

} // namespace

ChangeJudgement judgeChanges(const ComparisonRecord &first, const ComparisonRecord &second,
                             const ScatterModel &scatter) {
    const MeasurementChanges changes = changesBetween(first.corrected, second.corrected, scatter);
    ChangeJudgement j;
    int within = 0;
    int judged = 0;
    for (int c = 1; c <= ChannelCount; ++c) {
        const auto i = static_cast<std::size_t>(c - 1);
        const bool unmeasured = first.corrected[i] == 0.0 || second.corrected[i] == 0.0;
        const QString caveat =
            pointChangeCaveat(unmeasured, isDoubtful(first.quality, c) || isDoubtful(second.quality, c));
        judged += caveat.isEmpty() ? 1 : 0;
        within += caveat.isEmpty() && changes.channels[i].withinScatter ? 1 : 0;
        j.points << sideMeridianName(c) + u": "_s +
                        (unmeasured ? caveat : describe(changes.channels[i], caveat));
    }
    j.bodyEnergy =
        describe(changes.bodyEnergy, bodyEnergyChangeCaveat(caveatsOf(first.corrected, first.quality),
                                                            caveatsOf(second.corrected, second.quality)));
    j.pointsSummary = u"%1/%2 点在测量误差范围内"_s.arg(within).arg(judged);
    if (judged < ChannelCount)
        j.pointsSummary += u"；%1 点读数可疑或未测量，不作判断"_s.arg(ChannelCount - judged);
    return j;
}

} // namespace orlu
