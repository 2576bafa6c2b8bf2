#pragma once

#include "compare/comparisonchart.h"
#include "compare/comparisonprintout.h"
#include "records/comparisonrecord.h"
#include "compare/comparisonset.h"

#include <optional>

// The records of each comparison turned into the curves of its chart, on screen
// and on paper (the legend places differ).
namespace orlu {

struct CurrentMeasurement;

enum class ChartMedium { Screen, Paper };

// Whose band the two-record comparison shows.
enum class BandChoice { None, Original, Comparison };

// Slot 1 of the two-record comparison: the current measurement with the mean of its measured
// plain readings as energy level.
ComparisonRecord comparisonRecordOf(const CurrentMeasurement &current);

// Slot 1 and, once loaded, slot 2; a band choice naming an empty slot draws no band.
ComparisonChart twoRecordChart(const ComparisonRecord &original,
                               const std::optional<ComparisonRecord> &comparison, BandChoice band,
                               ChartMedium medium);

// Entry k in style k with its legend at slot k; `selected` (0-based) gets its band.
ComparisonChart multiRecordChart(const QList<ComparisonEntry> &entries, std::optional<int> selected);
// The multi-record print-out: every entry in the header, the chart with `selected`'s band.
ComparisonPrintout multiRecordPrintout(const QList<ComparisonEntry> &entries, std::optional<int> selected);

} // namespace orlu
