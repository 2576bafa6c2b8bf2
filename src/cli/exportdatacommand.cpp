#include "cli/exportdatacommand.h"

#include "cli/registerreading.h"
#include "cli/commandline.h"
#include "storage/database.h"
#include "dataexport/dataexport.h"
#include "dataexport/fhirexport.h"
#include "records/recordstore.h"

#include <QDate>

#include <functional>

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

const QString FhirDescription =
    u"Writes one HL7 FHIR R4 Bundle of type \"collection\" (JSON): a Patient per subject (identifier "
    "with the subject number, name, sex, birth date), a Device for the probe, and an Observation per "
    "measurement (status final, category exam, effectiveDateTime in the local time zone, the memo as "
    "note) whose components hold the 24 plain readings and the 24 corrected values in UCUM uA, the "
    "body energy, the four ratios and the five verdicts. Every code comes from the CodeSystem "
    "%1, which the bundle also holds.\n"
    "Pseudonymising gives each Patient only an identifier with the keyed hash of its subject "
    "number (as export-data does; see its --help for making a key) and leaves out the memo.\n"
    "The output file appears only when the export is complete. Exit status 0 done, 1 failed, 2 bad "
    "arguments."_s;

// What both exports are asked for: which measurements, whether pseudonymised, and where to.
struct Selection {
    MeasurementFilter filter;
    QString outPath;
    QString keyFile;
};

void addSelectionOptions(CommandLine &cl) {
    cl.addHomeOption();
    cl.addValueOption(u"subject"_s, u"NUMBER"_s, u"Only the subject NUMBER (letter case ignored)."_s);
    cl.addValueOption(u"from"_s, u"DATE"_s, u"Only measurements on or after DATE (YYYY-MM-DD)."_s);
    cl.addValueOption(u"to"_s, u"DATE"_s, u"Only measurements on or before DATE (YYYY-MM-DD)."_s);
}

void addOutputOptions(CommandLine &cl) {
    cl.addFlag(u"pseudonymise"_s, u"Replace subject numbers with keyed hashes and leave out the memo."_s);
    cl.addValueOption(u"key-file"_s, u"FILE"_s, u"The key for --pseudonymise."_s);
    cl.addValueOption(u"out"_s, u"FILE"_s, u"The output file (default or \"-\": standard output)."_s);
}

std::optional<QDate> dateOption(const CommandLine &cl, const QString &name, QString &problem) {
    if (!cl.isSet(name))
        return std::nullopt;
    const QDate d = QDate::fromString(cl.value(name), Qt::ISODate);
    if (!d.isValid())
        problem = u"--%1 needs a date as YYYY-MM-DD, not \"%2\""_s.arg(name, cl.value(name));
    return d;
}

// Fills `a`, or returns the reason the arguments are bad.
QString interpretSelection(const CommandLine &cl, Selection &a) {
    QString problem;
    a.outPath = cl.isSet(u"out"_s) ? cl.value(u"out"_s) : u"-"_s;
    if (cl.isSet(u"subject"_s))
        a.filter.subjectNumber = cl.value(u"subject"_s);
    a.filter.from = dateOption(cl, u"from"_s, problem);
    if (problem.isEmpty())
        a.filter.to = dateOption(cl, u"to"_s, problem);
    if (!problem.isEmpty())
        return problem;
    if (a.filter.from && a.filter.to && *a.filter.from > *a.filter.to)
        return u"--from is after --to"_s;
    const bool pseudonymise = cl.isSet(u"pseudonymise"_s);
    a.keyFile = cl.value(u"key-file"_s);
    if (pseudonymise && a.keyFile.isEmpty())
        return u"--pseudonymise needs --key-file FILE (see --help for making one)"_s;
    if (!pseudonymise && !a.keyFile.isEmpty())
        return u"--key-file is used only with --pseudonymise"_s;
    return {};
}

// Parses the arguments into `a`; an exit status when the command is done already (--help)
// or the arguments are bad.
std::optional<int> parseSelection(CommandLine &cl, const QStringList &args, QTextStream &out,
                                  QTextStream &err, Selection &a) {
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return done;
    if (const QString problem = interpretSelection(cl, a); !problem.isEmpty())
        return cl.usageError(err, problem);
    return std::nullopt;
}

using ExportRun = std::function<ExportOutcome(const RecordStore &, const std::optional<Pseudonymiser> &)>;

// Reads the key, opens the register, runs the export and tells how it went.
int runExport(const QString &command, const CommandLine &cl, const Selection &a, const ExportRun &run,
              QTextStream &out, QTextStream &err) {
    std::optional<Pseudonymiser> pseudonymiser;
    if (!a.keyFile.isEmpty()) {
        QString error;
        pseudonymiser = Pseudonymiser::fromKeyFile(a.keyFile, &error);
        if (!pseudonymiser) {
            err << command << ": " << error << '\n';
            return ExitFailed;
        }
    }
    Database db;
    if (!openRegisterForReading(db, cl.folder(), command, err))
        return ExitFailed;

    const bool toStdout = a.outPath == u"-"_s;
    out.flush();
    const ExportOutcome outcome = run(RecordStore(db), pseudonymiser);
    if (!outcome.ok()) {
        err << command << ": export to " << (toStdout ? u"standard output"_s : a.outPath)
            << " failed: " << outcome.error << '\n';
        return ExitFailed;
    }
    if (!toStdout)
        out << "exported " << outcome.rows << " measurements to " << a.outPath << '\n';
    return ExitOk;
}

} // namespace

int runExportDataCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    const QString command = u"export-data"_s;
    CommandLine cl(command, QString(), Description);
    addSelectionOptions(cl);
    cl.addValueOption(u"format"_s, u"csv|jsonl"_s,
                      u"The format (default: from the --out file name, else csv)."_s);
    addOutputOptions(cl);
    Selection a;
    if (const std::optional<int> done = parseSelection(cl, args, out, err, a))
        return *done;
    ExportFormat format = exportFormatOfFileName(a.outPath);
    if (cl.isSet(u"format"_s)) {
        const QString name = cl.value(u"format"_s);
        if (name == u"csv"_s)
            format = ExportFormat::Csv;
        else if (name == u"jsonl"_s)
            format = ExportFormat::JsonLines;
        else
            return cl.usageError(err, u"--format must be csv or jsonl, not \"%1\""_s.arg(name));
    }
    return runExport(
        command, cl, a,
        [&](const RecordStore &records, const std::optional<Pseudonymiser> &pseudonymiser) {
            return exportMeasurementsToFile(records, ExportRequest{format, a.filter, pseudonymiser},
                                            a.outPath);
        },
        out, err);
}

int runExportFhirCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    const QString command = u"export-fhir"_s;
    CommandLine cl(command, QString(), FhirDescription.arg(QLatin1StringView(FhirCodeSystemUrl)));
    addSelectionOptions(cl);
    addOutputOptions(cl);
    Selection a;
    if (const std::optional<int> done = parseSelection(cl, args, out, err, a))
        return *done;
    return runExport(
        command, cl, a,
        [&](const RecordStore &records, const std::optional<Pseudonymiser> &pseudonymiser) {
            // The seat's probe with its latest calibration, where the seat keeps a log.
            const CalibrationLog log(cl.folder().file(CalibrationLogFile));
            return exportFhirBundleToFile(records, a.filter, pseudonymiser ? &*pseudonymiser : nullptr,
                                          a.outPath, nullptr, lastSuccessful(log.entries()));
        },
        out, err);
}

} // namespace orlu
