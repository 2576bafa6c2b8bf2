#pragma once

#include "core/programfolder.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <array>
#include <optional>

// How every orlu-cli command reads its arguments, so they all behave alike:
// options through Qt's QCommandLineParser, "--help" and "--version" on each
// command, a message on standard error and exit status 2 for an unknown option
// or a missing value (nothing on standard output), and one rule for readings.
//
// A command's run function (args are the arguments after the command name):
//
//     int runReportCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
//         CommandLine cl(u"report"_s, u"V1 .. V24"_s, u"Print the report of 24 readings."_s);
//         cl.addHomeOption();                                  // --home DIR
//         cl.addValueOption(u"to"_s, u"FILE"_s, u"Write the report to FILE."_s);
//         cl.addReadingOptions();                              // --sex male|female
//         if (const std::optional<int> done = cl.parse(args, out, err))
//             return *done;                                    // --help, --version, bad options
//         const std::optional<Readings> readings = cl.readings(cl.positional(), err);
//         if (!readings)
//             return ExitUsage;                                // the message is written
//         if (somethingElseIsWrong)
//             return cl.usageError(err, u"--to needs ..."_s);  // "report: ..." and the usage
//         ...
//         return ExitOk;                                       // or ExitFailed when the work failed
//     }
//
// and one entry in the command table of src/cli/main.cpp. Negative numbers
// among the arguments ("-5") are taken as values, never as options.
namespace orlu {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1; // the command ran and failed (a missing or damaged file)
constexpr int ExitUsage = 2;  // bad arguments

// 24 plain readings in uA in channel order and the subject's sex.
struct Readings {
    bool male = true;
    std::array<double, 24> values{};
};

// The one rule for readings: exactly 24 plain numbers, each a valid reading (core/readingsrule.h).
// Empty with the message when a value breaks it.
std::optional<std::array<double, 24>> parseReadings(const QStringList &values, QString *error);

class CommandLine {
public:
    // `positionalSyntax` shows what follows the options in the usage ("N V1 .. V24").
    CommandLine(QString command, QString positionalSyntax, QString description);

    void addFlag(const QString &name, const QString &description);
    void addValueOption(const QString &name, const QString &valueName, const QString &description);
    // An option given once per value ("--record A --record B"); read with values().
    void addRepeatableValueOption(const QString &name, const QString &valueName, const QString &description);
    // --home DIR: the program folder ($ORLU_HOME or the platform's place otherwise).
    void addHomeOption();
    // --sex male|female (default male), for commands that take readings.
    void addReadingOptions();

    // Empty when the command goes on; otherwise the exit status to return at
    // once: 0 after --help or --version, 2 after a message on `err`.
    std::optional<int> parse(const QStringList &args, QTextStream &out, QTextStream &err);
    // parse() for a command that takes options only: any other argument is a usage error.
    std::optional<int> parseOptionsOnly(const QStringList &args, QTextStream &out, QTextStream &err);

    bool isSet(const QString &name) const;
    QString value(const QString &name) const;
    QStringList values(const QString &name) const;
    QStringList positional() const;
    // The folder of --home, else the environment's.
    ProgramFolder folder() const;
    // The readings and --sex; empty after a usage message on `err`.
    std::optional<Readings> readings(const QStringList &values, QTextStream &err) const;
    // An integer option in [min, max]; empty after a usage message on `err`.
    std::optional<qint64> integerValue(const QString &name, qint64 min, qint64 max, QTextStream &err) const;

    // "command: message" and the usage line on `err`; returns ExitUsage.
    int usageError(QTextStream &err, const QString &message) const;
    QString usage() const;
    QString helpText() const;

private:
    QString original(const QString &text) const;

    QString m_command;
    QString m_positionalSyntax;
    QString m_description;
    QCommandLineParser m_parser;
    QStringList m_options;     // "--png FILE", for the usage line
    QStringList m_optionLines; // for --help
    QStringList m_escaped;     // arguments that look like negative numbers, kept from the parser
    QStringList m_repeatable;  // options that may be given more than once
};

} // namespace orlu
