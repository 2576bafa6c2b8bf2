#pragma once

#include <QStringList>
#include <QTextStream>

namespace orlu {

// "quality [FILE|-]": the assessment of one measured point, read as JSON from
// FILE or standard input, printed as JSON. Exit status 0 done, 2 bad arguments
// or input that is not such a point.
int runQualityCommand(const QStringList &args, QTextStream &out, QTextStream &err);

inline constexpr auto QualityCommandUsage = "quality [FILE|-]";

} // namespace orlu
