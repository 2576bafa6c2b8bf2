#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace orlu {

// Whether a command draws (charts, pictures, printed pages): it then needs fonts, hence a
// GUI application, though never a display.
enum class Draws { No, Yes };

// One orlu-cli command: its name, usage line, help text and what runs it (with the
// arguments after the name; returns the exit status).
struct Command {
    QString name;
    QString usage;
    QString help;
    Draws draws = Draws::No;
    std::function<int(const QStringList &args, QTextStream &out, QTextStream &err)> run;
};

// Every command of orlu-cli, in the order --help lists them.
const QList<Command> &commandTable();
const Command *findCommand(const QString &name);
void printHelp(QTextStream &out);

// Runs the command args[0] with the rest; an unknown name gives the help on `err` and exit 2.
int runCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace orlu
