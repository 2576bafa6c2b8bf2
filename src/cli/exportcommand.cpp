#include "cli/exportcommand.h"

#include "cli/commandline.h"
#include "records/database.h"
#include "records/dataexport.h"

#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString Description =
    u"Writes one row per stored measurement: subject number, sex, birth year, age at measurement, "
    "measured-at (ISO 8601), potential mode, the 24 plain readings, the 24 corrected values, body "
    "energy, the four ratios, the verdict codes, the channel grades and the memo. The analysis "
    "values are those of the analysis window; field names are those of `orlu-cli analyse`.\n"
    "CSV (RFC 4180, UTF-8, header row) names arrays plain1..plain24, corrected1..corrected24, "
    "channelGrades1..channelGrades24 and objects ratios.spirit, verdicts.bodyEnergy, ...; JSON lines "
    "hold one object per measurement. An unknown ratio or birth year is empty (CSV) or null (JSON).\n"
    "Pseudonymising replaces each subject number with a keyed hash (HMAC-SHA256) and leaves out the "
    "memo; name, address and telephone are never exported, and of the birth date only the year. The "
    "key is the whole content of a file you make once and keep private, for example\n"
    "    head -c 32 /dev/urandom > export.key && chmod 600 export.key\n"
    "(at least 16 bytes). The same key gives the same pseudonyms in every export, so later exports "
    "link up with earlier ones; another key gives other pseudonyms, and without the key nobody can "
    "tell whose measurements they are.\n"
    "The output file appears only when the export is complete; a FIFO or a device is written "
    "directly. Exit status 0 done, 1 failed, 2 bad arguments."_s;

struct ExportArguments {
    QString home;
    QString outPath;
    ExportRequest request;
    QString keyFile;
};

std::optional<QDate> dateOption(const QCommandLineParser &parser, const QString &name, QString &problem) {
    if (!parser.isSet(name))
        return std::nullopt;
    const QDate d = QDate::fromString(parser.value(name), Qt::ISODate);
    if (!d.isValid())
        problem = u"--%1 needs a date as YYYY-MM-DD, not \"%2\""_s.arg(name, parser.value(name));
    return d;
}

// Fills `a`, or returns the reason the arguments are bad.
QString interpret(const QCommandLineParser &parser, ExportArguments &a) {
    QString problem;
    a.home = parser.value(u"home"_s);
    a.outPath = parser.value(u"out"_s);
    if (parser.isSet(u"subject"_s))
        a.request.filter.subjectNumber = parser.value(u"subject"_s);
    a.request.filter.from = dateOption(parser, u"from"_s, problem);
    if (problem.isEmpty())
        a.request.filter.to = dateOption(parser, u"to"_s, problem);
    if (!problem.isEmpty())
        return problem;
    if (a.request.filter.from && a.request.filter.to && *a.request.filter.from > *a.request.filter.to)
        return u"--from is after --to"_s;
    if (parser.isSet(u"format"_s)) {
        const QString format = parser.value(u"format"_s);
        if (format == u"csv"_s)
            a.request.format = ExportFormat::Csv;
        else if (format == u"jsonl"_s)
            a.request.format = ExportFormat::JsonLines;
        else
            return u"--format must be csv or jsonl, not \"%1\""_s.arg(format);
    } else {
        a.request.format = exportFormatOfFileName(a.outPath);
    }
    const bool pseudonymise = parser.isSet(u"pseudonymise"_s);
    a.keyFile = parser.value(u"key-file"_s);
    if (pseudonymise && a.keyFile.isEmpty())
        return u"--pseudonymise needs --key-file FILE (see --help for making one)"_s;
    if (!pseudonymise && !a.keyFile.isEmpty())
        return u"--key-file is used only with --pseudonymise"_s;
    return {};
}

} // namespace

int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    const QString command = u"export-data"_s;
    QCommandLineParser parser;
    parser.addOptions({
        {u"home"_s, u"The program folder DIR (default: the installation folder)."_s, u"DIR"_s},
        {u"subject"_s, u"Only the subject NUMBER (letter case ignored)."_s, u"NUMBER"_s},
        {u"from"_s, u"Only measurements on or after DATE (YYYY-MM-DD)."_s, u"DATE"_s},
        {u"to"_s, u"Only measurements on or before DATE (YYYY-MM-DD)."_s, u"DATE"_s},
        {u"format"_s, u"csv or jsonl (default: from the --out file name, else csv)."_s, u"FORMAT"_s},
        {u"pseudonymise"_s, u"Replace subject numbers with keyed hashes and leave out the memo."_s},
        {u"key-file"_s, u"The key for --pseudonymise."_s, u"FILE"_s},
        {u"out"_s, u"The output file (default or \"-\": standard output)."_s, u"FILE"_s},
    });
    if (const auto status = parseCommandLine(parser, command, Description, args, out, err))
        return *status;
    ExportArguments a;
    if (const QString problem = interpret(parser, a); !problem.isEmpty()) {
        err << command << ": " << problem << '\n';
        return 2;
    }
    if (!a.keyFile.isEmpty()) {
        QString error;
        a.request.pseudonymiser = Pseudonymiser::fromKeyFile(a.keyFile, &error);
        if (!a.request.pseudonymiser) {
            err << command << ": " << error << '\n';
            return 1;
        }
    }
    Database db;
    if (!openMainDatabaseForReading(db, a.home, command, err))
        return 1;

    ExportOutcome outcome;
    const bool toStdout = a.outPath.isEmpty() || a.outPath == u"-"_s;
    if (toStdout) {
        out.flush();
        QFile stdOut;
        if (!stdOut.open(stdout, QIODevice::WriteOnly)) {
            err << command << ": cannot write to standard output\n";
            return 1;
        }
        outcome = exportMeasurements(db.handle(), a.request, stdOut);
        if (outcome.ok() && !stdOut.flush())
            outcome = {ExportOutcome::Status::Failed, outcome.rows, stdOut.errorString()};
    } else {
        outcome = exportMeasurementsToFile(db.handle(), a.request, a.outPath);
    }
    if (!outcome.ok()) {
        err << command << ": export to " << (toStdout ? u"standard output"_s : a.outPath)
            << " failed: " << outcome.error << '\n';
        return 1;
    }
    if (!toStdout)
        out << "exported " << outcome.rows << " measurements to " << a.outPath << '\n';
    return 0;
}

} // namespace orlu
