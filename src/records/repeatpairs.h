#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <array>

namespace orlu {

// The repeat measurements of the register: every two successive measurements of
// one subject (number compared without regard to letter case) in one potential
// mode taken at most `windowMinutes` apart, as their 24 plain readings, the
// earlier first. Empty with the reason when the database refuses the query.
QList<std::array<std::array<double, 24>, 2>> repeatPairs(const QSqlDatabase &db, double windowMinutes,
                                                         QString *error = nullptr);

} // namespace orlu
