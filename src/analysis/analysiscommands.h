#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// The command-line commands of the analysis:
//   analyse [--sex male|female] V1 .. V24   the analysis of 24 plain readings as JSON
//   descramble HEX                          a stored reference text in plain words
//   scramble TEXT [--seed N]                the stored form of a text
//   texts [--home DIR] --key K              every column of one reference record
namespace orlu {

bool isAnalysisCommand(const QString &name);

// args[0] is the command name. Returns the exit status: 0 done, 1 the command
// failed (a missing database, an unknown record), 2 bad arguments (a message
// on `err`, nothing on `out`).
int runAnalysisCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// Lines for the program's --help.
QString analysisCommandsHelp();

} // namespace orlu
