#pragma once

#include <QStringList>
#include <QTextStream>

namespace orlu {

// "db init --database CONNECTION" and "db copy --from A --to B": set up a register on a
// server (or a file) and move a whole register between a file and a server.
// Exit status 0, 1 when the work failed, 2 for bad arguments.
int runDbCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace orlu
