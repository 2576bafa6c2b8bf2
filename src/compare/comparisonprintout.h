#pragma once

#include "compare/comparisonchart.h"

#include <QList>
#include <QString>

// What a comparison printout shows: the records listed in its header and the chart.
namespace orlu {

enum class ComparisonKind { TwoRecord, MultiRecord };

struct PrintedRecord {
    QString subjectNumber;
    QString subjectName;
    double energyLevel = 0;
    bool highPotential = false;
    double measuredAt = 0; // day count
    QString caveats;       // unmeasured points and doubtful readings, empty when none
};

struct ComparisonPrintout {
    ComparisonKind kind = ComparisonKind::TwoRecord;
    QList<PrintedRecord> records; // in legend order
    QStringList notes;            // printed under the records, wrapped
    ComparisonChart chart;        // with the legend places of paper
};

// "O.R.L.U 能量比对数据." or "O.R.L.U 多重能量比对数据.".
QString comparisonJobTitle(ComparisonKind kind);
// Why a comparison without records is not printed.
QString emptyComparisonMessage();

} // namespace orlu
