#pragma once

#include "analysis/measurementscatter.h"
#include "records/comparisonrecord.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the two-record comparison says of the change between its records, on screen
// and on paper alike: the body energy of both (as the analysis and the trend show
// it), the later minus the earlier whichever was loaded first, and whether that is
// more than the scatter of measuring.
namespace orlu {

struct ComparisonChanges {
    // Heading, earlier value, later value, change, verdict and scatter: one short line each.
    QStringList bodyEnergy;
    // "3/21 点的变化超出测量误差；3 点读数可疑或未测量，不作判断"
    QString points;
    QString pointDetails; // one line a point
    // "体能" of the blocks is the mean of the plain readings, not the analysis's body energy.
    QString energyNote;
    QString explanation; // what MDC95 and its source mean

    // The same on paper: a line for the body energy, one for the points and the energy
    // figure, then the explanation; none without a second record.
    QStringList paperLines() const;
};

// Without a second record only the scatter's source and its explanation.
ComparisonChanges comparisonChanges(const ComparisonRecord &original,
                                    const std::optional<ComparisonRecord> &comparison,
                                    const ScatterModel &model);

} // namespace orlu
