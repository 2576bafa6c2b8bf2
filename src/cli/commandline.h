#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace orlu {

class Database;

// Parses the arguments of one orlu-cli command (after its name) with its own --help.
// Returns the exit status when the command is to end here: 0 after the help on `out`,
// 2 after a message on `err` for an unknown option or a stray argument.
std::optional<int> parseCommandLine(QCommandLineParser &parser, const QString &command,
                                    const QString &description, const QStringList &args, QTextStream &out,
                                    QTextStream &err);

// Opens the main database of the program folder `home` (empty: the installation's) for
// reading. False after a message on `err`.
bool openMainDatabaseForReading(Database &db, const QString &home, const QString &command, QTextStream &err);

} // namespace orlu
