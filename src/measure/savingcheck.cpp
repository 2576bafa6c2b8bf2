#include "measure/savingcheck.h"

#include "core/currentmeasurement.h"
#include "quality/readingcaveats.h"

namespace orlu {

using namespace Qt::StringLiterals;

SavingDecision askBeforeSaving(const CurrentMeasurement &measurement, Prompter &prompter) {
    const ReadingCaveats caveats = caveatsOf(measurement.values, measurement.quality);
    if (caveats.incomplete() &&
        !prompter.showMessageBox(MessageType::AskCaution,
                                 u"%1 个点未测量，仍要储存吗?"_s.arg(caveats.unmeasured)))
        return SavingDecision::Cancel;
    if (caveats.doubtful > 0 &&
        prompter.showMessageBox(
            MessageType::AskQuestion,
            u"%1 个点的读数可疑。要先重测可疑点吗?\n(选 [否] 照样储存)"_s.arg(caveats.doubtful)))
        return SavingDecision::Retest;
    return SavingDecision::Save;
}

} // namespace orlu
