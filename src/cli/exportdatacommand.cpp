#include "cli/exportdatacommand.h"

#include "cli/registerreading.h"
#include "core/commandline.h"
#include "storage/database.h"
#include "dataexport/dataexport.h"
#include "records/recordstore.h"

#include <QDate>

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
    QString outPath;
    ExportRequest request;
    QString keyFile;
};

std::optional<QDate> dateOption(const CommandLine &cl, const QString &name, QString &problem) {
    if (!cl.isSet(name))
        return std::nullopt;
    const QDate d = QDate::fromString(cl.value(name), Qt::ISODate);
    if (!d.isValid())
        problem = u"--%1 needs a date as YYYY-MM-DD, not \"%2\""_s.arg(name, cl.value(name));
    return d;
}

// Fills `a`, or returns the reason the arguments are bad.
QString interpret(const CommandLine &cl, ExportArguments &a) {
    QString problem;
    a.outPath = cl.isSet(u"out"_s) ? cl.value(u"out"_s) : u"-"_s;
    if (cl.isSet(u"subject"_s))
        a.request.filter.subjectNumber = cl.value(u"subject"_s);
    a.request.filter.from = dateOption(cl, u"from"_s, problem);
    if (problem.isEmpty())
        a.request.filter.to = dateOption(cl, u"to"_s, problem);
    if (!problem.isEmpty())
        return problem;
    if (a.request.filter.from && a.request.filter.to && *a.request.filter.from > *a.request.filter.to)
        return u"--from is after --to"_s;
    if (cl.isSet(u"format"_s)) {
        const QString format = cl.value(u"format"_s);
        if (format == u"csv"_s)
            a.request.format = ExportFormat::Csv;
        else if (format == u"jsonl"_s)
            a.request.format = ExportFormat::JsonLines;
        else
            return u"--format must be csv or jsonl, not \"%1\""_s.arg(format);
    } else {
        a.request.format = exportFormatOfFileName(a.outPath);
    }
    const bool pseudonymise = cl.isSet(u"pseudonymise"_s);
    a.keyFile = cl.value(u"key-file"_s);
    if (pseudonymise && a.keyFile.isEmpty())
        return u"--pseudonymise needs --key-file FILE (see --help for making one)"_s;
    if (!pseudonymise && !a.keyFile.isEmpty())
        return u"--key-file is used only with --pseudonymise"_s;
    return {};
}

} // namespace

int runExportDataCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    const QString command = u"export-data"_s;
    CommandLine cl(command, QString(), Description);
    cl.addHomeOption();
    cl.addValueOption(u"subject"_s, u"NUMBER"_s, u"Only the subject NUMBER (letter case ignored)."_s);
    cl.addValueOption(u"from"_s, u"DATE"_s, u"Only measurements on or after DATE (YYYY-MM-DD)."_s);
    cl.addValueOption(u"to"_s, u"DATE"_s, u"Only measurements on or before DATE (YYYY-MM-DD)."_s);
    cl.addValueOption(u"format"_s, u"csv|jsonl"_s,
                      u"The format (default: from the --out file name, else csv)."_s);
    cl.addFlag(u"pseudonymise"_s, u"Replace subject numbers with keyed hashes and leave out the memo."_s);
    cl.addValueOption(u"key-file"_s, u"FILE"_s, u"The key for --pseudonymise."_s);
    cl.addValueOption(u"out"_s, u"FILE"_s, u"The output file (default or \"-\": standard output)."_s);
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    ExportArguments a;
    if (const QString problem = interpret(cl, a); !problem.isEmpty())
        return cl.usageError(err, problem);
    if (!a.keyFile.isEmpty()) {
        QString error;
        a.request.pseudonymiser = Pseudonymiser::fromKeyFile(a.keyFile, &error);
        if (!a.request.pseudonymiser) {
            err << command << ": " << error << '\n';
            return ExitFailed;
        }
    }
    Database db;
    if (!openRegisterForReading(db, cl.folder(), command, err))
        return ExitFailed;

    const bool toStdout = a.outPath == u"-"_s;
    out.flush();
    const ExportOutcome outcome = exportMeasurementsToFile(RecordStore(db), a.request, a.outPath);
    if (!outcome.ok()) {
        err << command << ": export to " << (toStdout ? u"standard output"_s : a.outPath)
            << " failed: " << outcome.error << '\n';
        return ExitFailed;
    }
    if (!toStdout)
        out << "exported " << outcome.rows << " measurements to " << a.outPath << '\n';
    return ExitOk;
}

} // namespace orlu
