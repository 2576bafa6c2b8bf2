#include "cli/commandtable.h"

#include "cli/analysiscommands.h"
#include "cli/chartcommand.h"
#include "cli/comparisoncommand.h"
#include "cli/dbcommand.h"
#include "cli/exportdatacommand.h"
#include "cli/generatecommand.h"
#include "cli/setupcommand.h"
#include "cli/matchcommand.h"
#include "cli/qualitycommand.h"
#include "cli/registercommands.h"
#include "cli/reportcommand.h"
#include "cli/transfercommands.h"
#include "cli/subjectscommand.h"
#include "cli/trendcommand.h"
#include "cli/commandline.h"
#include "device/probebackend.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

int runProbePresentCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"probe-present"_s, QString(), u"Exit 0 when a probe is on the USB bus, 1 otherwise."_s);
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    return runProbePresent(out);
}

} // namespace

const QList<Command> &commandTable() {
    static const QList<Command> table{
        {u"setup"_s, u"setup [--home DIR]"_s,
         u"Create or refresh the installation in the program folder (template database, reference texts, "
         u"supplied courses, pictures). The main database and the settings file are never touched."_s,
         Draws::Yes, runSetupCommand},
        {u"chart"_s, QString::fromLatin1(ChartCommandUsage),
         u"Draw analysis chart N (1-6, 8, 9) for 24 plain readings in uA onto a 757 x 393 image (--png) "
         u"and/or write its drawing operations as JSON lines (--ops FILE, or standard output). "
         u"--sex defaults to male."_s,
         Draws::Yes, runChartCommand},
        {u"compare-chart"_s, QString::fromLatin1(CompareChartCommandUsage),
         u"Draw the multi-record comparison chart of one to six records of 24 corrected values in uA (styles "
         u"by position, --band K: the band of record K) onto an image (--png, default 600 x 417) and/or "
         u"write "
         u"its drawing operations as JSON lines (--ops FILE, or standard output)."_s,
         Draws::Yes, runCompareChartCommand},
        {u"report"_s, QString::fromLatin1(ReportCommandUsage),
         u"Produce the printed analysis report of a stored record or of 24 plain readings as an A4 PDF "
         u"(--pdf) and/or as its drawing operations in JSON lines (--ops FILE, or standard output), with "
         u"a page opening {\"op\": \"page\", \"n\": N} and texts carrying their \"size\" in points. "
         u"--options is the print-option string (default: the settings'); --dpi and --printable set the "
         u"recorded page (default 600 and A4's printable area)."_s,
         Draws::Yes, runReportCommand},
        {u"match"_s, u"match --courses FILE [--sex male|female] [--birth YYYY-MM-DD] V1 .. V24"_s,
         u"Print the names of the courses in FILE (any file with the course tables: the main database, "
         u"orluMCn.mdb, a transfer file) that apply to the analysis of the 24 plain readings, in matching "
         u"order, with today's date for the age (no --birth: birth date 0)."_s,
         Draws::No, runMatchCommand},
        {u"generate-register"_s,
         u"generate-register [--home DIR | --database FILE|CONNECTION] --subjects N --measurements M "
         u"[--seed S] [--prefix P] [--one-by-one]"_s,
         u"Add N made-up subjects (numbers P0000001 ..., P defaults to T) and M measurements to the main "
         u"database (a file is created when missing), in one transaction; --one-by-one adds each subject "
         u"with its share of the measurements in a transaction of its own, as a seat does."_s,
         Draws::No, runGenerateRegisterCommand},
        {u"db"_s, u"db init --database CONNECTION | db copy --from FILE|CONNECTION --to FILE|CONNECTION"_s,
         u"init: set up the register on a server (tables, keys, indexes, change notices, the role "
         u"orlu_operator with rights on the four tables, the schema version); again changes nothing. "
         u"copy: move a whole register between a file and a server in one transaction, keys and all, into "
         u"an empty register, and check the counts. A CONNECTION is a postgresql:// URI or libpq "
         u"keywords such as service=NAME."_s,
         Draws::No, runDbCommand},
        {u"export"_s, u"export [--home DIR] [--courses] [--records] --to FOLDER"_s,
         u"Write the expert courses and/or the subjects with their measurements (both when neither is named) "
         u"into KyTran.mdb in FOLDER. Messages on standard error; exit 1 when the export failed (no transfer "
         u"file is left)."_s,
         Draws::No, runExportCommand},
        {u"import"_s, u"import [--home DIR] [--courses] [--records] (--append | --replace) --from FILE"_s,
         u"Import a transfer file (ours or an Access .mdb) into the main database, all or nothing; --replace "
         u"backs the main database up first. Messages on standard error; exit 1 when the import failed (the "
         u"main database is as it was, or the program runs on the folder)."_s,
         Draws::No, runImportCommand},
        {u"check"_s, u"check [--home DIR]"_s,
         u"Check every database of the program folder (integrity_check, tables and columns); one line per "
         u"file, exit status 1 when anything is wrong."_s,
         Draws::No, runCheckCommand},
        {u"backup"_s, u"backup [--home DIR] [--to FILE]"_s,
         u"Make a checked copy of the main database (default: backups/orlu4-YYYYMMDD-HHMMSS.mdb in the "
         u"program folder; FILE may be \"-\" for standard output). The program makes one a day by itself."_s,
         Draws::No, runBackupCommand},
        {u"restore"_s, u"restore [--home DIR] --from FILE"_s,
         u"Put a copy back as the main database after checking it; the replaced file is kept in backups/. "
         u"The program must be closed."_s,
         Draws::No, runRestoreCommand},
        {u"export-data"_s, QString::fromLatin1(ExportDataCommandUsage),
         u"Write one row per stored measurement with its analysis as CSV or JSON lines, optionally "
         u"pseudonymised, for statistics (orlu-cli export-data --help tells more)."_s,
         Draws::No, runExportDataCommand},
        {u"export-fhir"_s, QString::fromLatin1(ExportFhirCommandUsage),
         u"Write the stored measurements with their subjects as one HL7 FHIR R4 Bundle (JSON), optionally "
         u"pseudonymised, for clinical software (orlu-cli export-fhir --help tells more)."_s,
         Draws::No, runExportFhirCommand},
        {u"subjects"_s, QString::fromLatin1(SubjectsCommandUsage),
         u"Print the reading window's subject list (number, name, sex, birth date; tab-separated) in the "
         u"order of the sort code, names in pinyin order; --search starts at the row the search finds."_s,
         Draws::No, runSubjectsCommand},
        {u"trend"_s, QString::fromLatin1(TrendCommandUsage),
         u"Draw the trend of one subject's measurements over time (body energy, the four ratios, abnormal "
         u"meridians; Standard and High apart) to a PNG, its drawing operations and/or a printed PDF page."_s,
         Draws::Yes, runTrendCommand},
        {u"quality"_s, QString::fromLatin1(QualityCommandUsage),
         u"Assess one measured point from its samples ({\"threshold\": T, \"attempts\": A, \"samples\": "
         u"[[ms, reading, k], ...]} in FILE or on standard input) and print the figures, flags and verdict "
         u"as JSON with 17 significant digits; exit 2 on bad input."_s,
         Draws::No, runQualityCommand},
        {u"probe-present"_s, u"probe-present"_s,
         u"Exit 0 when a probe is on the USB bus, 1 otherwise (the start script falls back to the simulated "
         u"probe)."_s,
         Draws::No, runProbePresentCommand},
        {u"analyse"_s, u"analyse [--sex male|female] V1 .. V24"_s,
         u"Analyse 24 plain readings in uA, given in channel order (left hand LU PC HT SI SJ LI, right hand, "
         u"left foot SP LR KI BL GB ST, right foot). Prints one JSON object with the corrected values, sums, "
         u"body energy, bands, grades, ratios, verdicts, pairs and the three meridian lists. Reals carry 17 "
         u"significant digits; an undefined ratio and its verdict are null. The sex defaults to male."_s,
         Draws::No, runAnalyseCommand},
        {u"descramble"_s, u"descramble HEX"_s,
         u"Print a stored reference text (hexadecimal digit pairs) in plain words."_s, Draws::No,
         runDescrambleCommand},
        {u"scramble"_s, u"scramble TEXT [--seed N]"_s,
         u"Print the stored form of TEXT, scrambled from seed N (0..255, default 0)."_s, Draws::No,
         runScrambleCommand},
        {u"texts"_s, u"texts [--home DIR] --key K"_s,
         u"Print every column of reference record K (1..12 meridians, 13..17 state items) of orluCn.mdb in "
         u"the program folder DIR (default: the installation folder)."_s,
         Draws::No, runTextsCommand},
    };
    return table;
}

const Command *findCommand(const QString &name) {
    for (const Command &c : commandTable()) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

void printHelp(QTextStream &out) {
    out << "orlu-cli: headless tools of the O.R.L.U. workstation\n\n"
        << "The program folder is $ORLU_HOME, else $XDG_DATA_HOME/quorix/orlu/ "
           "(~/.local/share/quorix/orlu/); --home DIR overrides it.\n\nCommands:\n";
    for (const Command &c : commandTable())
        out << "  orlu-cli " << c.usage << "\n      " << c.help << "\n";
    out << "  orlu-cli --help\n      This text.\n  orlu-cli --version\n      The program's version.\n"
        << "Every command takes --help. Bad arguments give a message on stderr and exit status 2.\n";
}

int runCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    const QString name = args.value(0);
    const Command *command = findCommand(name);
    if (!command) {
        err << "unknown command: " << name << "\n\n";
        printHelp(err);
        return ExitUsage;
    }
    const int status = command->run(args.mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}

} // namespace orlu
