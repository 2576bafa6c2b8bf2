#pragma once

#include "trend/trendseries.h"

#include <QString>

#include <optional>

namespace orlu {

class RecordStore;

// Every measurement of one subject (number compared without regard to letter case), analysed,
// in time order (equal times in the order they were stored), with the subject's name and sex.
// Empty with the reason when the database refuses the query.
std::optional<TrendSeries> loadTrendSeries(const RecordStore &records, const QString &subjectNumber,
                                           QString *error = nullptr);

} // namespace orlu
