#pragma once

#include "analysis/measurementscatter.h"
#include "records/comparisonrecord.h"

#include <QString>
#include <QStringList>

// What the two-record comparison says of each change against the scatter of measuring.
// A change is judged only where both readings can bear it: a point unmeasured or doubtful
// in either record, and the body energy of a record that is incomplete or mostly
// doubtful, get the reason instead of "超出测量误差" or "在测量误差范围内".
namespace orlu {

struct ChangeJudgement {
    QString bodyEnergy;    // "+3.2 (MDC95 5.1) 超出测量误差"
    QStringList points;    // "左肺经: -1.0 (MDC95 20.3) 在测量误差范围内", channels in order
    QString pointsSummary; // "20/21 点在测量误差范围内；3 点读数可疑或未测量，不作判断"
};

ChangeJudgement judgeChanges(const ComparisonRecord &first, const ComparisonRecord &second,
                             const ScatterModel &scatter);

} // namespace orlu
