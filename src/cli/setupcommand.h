#pragma once

#include <QStringList>
#include <QTextStream>

namespace orlu {

// "setup [--home DIR]": the installation from the command line.
int runSetupCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace orlu
