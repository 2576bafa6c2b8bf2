#pragma once

#include <QStringList>
#include <QTextStream>

namespace orlu {

// "match --courses FILE [--sex male|female] [--birth YYYY-MM-DD] V1 .. V24": the names
// of the courses in FILE that apply to the analysis of the readings, in matching order.
// Exit status 0, or 2 for bad arguments and a file without course tables.
int runMatchCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace orlu
