#pragma once

#include "analysis/analysis.h"

#include <QString>

// The analysis result as one JSON object, for the command line and for
// checking results outside the program. Reals carry 17 significant digits so
// they read back exactly; undefined ratios and their verdicts are null.
namespace orlu {

QString analysisToJson(const AnalysisResult &result);

// A text as a JSON string literal, quotes included.
QString jsonString(const QString &s);

} // namespace orlu
