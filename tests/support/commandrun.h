#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace orlu::test {

// What an orlu-cli command returned and printed.
struct CommandRun {
    int status = 0;
    QString out;
    QString err;
};

using CommandEntry = std::function<int(const QStringList &, QTextStream &, QTextStream &)>;

// Runs a command's entry point with its arguments (without the command name) and keeps its output.
inline CommandRun runCommand(const CommandEntry &command, const QStringList &args) {
    CommandRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = command(args, out, err);
    out.flush();
    err.flush();
    return r;
}

} // namespace orlu::test
