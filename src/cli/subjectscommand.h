#pragma once

#include <QStringList>
#include <QTextStream>

namespace orlu {

// "subjects [--home DIR] [--sort CODE] [--search TEXT]": the reading window's subject list,
// one line per subject (number, name, sex, birth date, tab-separated) in the list's order.
// With --search the list starts at the row the search box would move to. Exit status 0
// done, 1 no register or no row matches the search, 2 bad arguments.
int runSubjectsCommand(const QStringList &args, QTextStream &out, QTextStream &err);

inline constexpr auto SubjectsCommandUsage = "subjects [--home DIR] [--sort CODE] [--search TEXT]";

} // namespace orlu
