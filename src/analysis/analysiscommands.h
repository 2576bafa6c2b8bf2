#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <array>
#include <optional>

// The command-line commands of the analysis:
//   analyse [--sex male|female] V1 .. V24   the analysis of 24 plain readings as JSON
//   descramble HEX                          a stored reference text in plain words
//   scramble TEXT [--seed N]                the stored form of a text
//   texts [--home DIR] --key K              every column of one reference record
namespace orlu {

// "[--sex male|female] V1 .. V24" after the command name in args[0], with the
// options in `valueOptions` taking one value each. Empty with a message naming
// the command when the arguments are bad.
struct ReadingArguments {
    bool male = true;
    std::array<double, 24> readings{};
    QHash<QString, QString> options;
};
std::optional<ReadingArguments> parseReadingArguments(const QStringList &args,
                                                      const QStringList &valueOptions, QString *error);

bool isAnalysisCommand(const QString &name);

// args[0] is the command name. Returns the exit status: 0 done, 1 the command
// failed (a missing database, an unknown record), 2 bad arguments (a message
// on `err`, nothing on `out`).
int runAnalysisCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// Lines for the program's --help.
QString analysisCommandsHelp();

} // namespace orlu
