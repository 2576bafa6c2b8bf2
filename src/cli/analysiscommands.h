#pragma once

#include <QStringList>
#include <QTextStream>

// The command-line commands of the analysis. Each takes the arguments after its name and
// returns the exit status: 0 done, 1 the command failed (a missing database, an unknown
// record), 2 bad arguments (a message on `err`, nothing on `out`).
namespace orlu {

// "analyse [--sex male|female] V1 .. V24": the analysis of 24 plain readings as JSON.
int runAnalyseCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// "descramble HEX": a stored reference text in plain words.
int runDescrambleCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// "scramble TEXT [--seed N]": the stored form of a text.
int runScrambleCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// "texts [--home DIR] --key K": every column of one reference record.
int runTextsCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace orlu
