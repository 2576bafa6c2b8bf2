#include "analysis/analysiscommands.h"
#include "charts/chartcommand.h"
#include "cli/exportcommand.h"
#include "cli/installer.h"
#include "cli/matchcommand.h"
#include "cli/trendcommand.h"
#include "core/version.h"
#include "device/probebackend.h"

#include <QGuiApplication>
#include <QTextStream>

#include <functional>
#include <memory>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

struct Command {
    QString name;
    QString usage;
    QString help;
    std::function<int(const QStringList &args, QTextStream &out, QTextStream &err)> run;
};

// "--home DIR" anywhere among the arguments selects the program folder; ORLU_HOME otherwise.
ProgramFolder folderFrom(QStringList &args) {
    const qsizetype i = args.indexOf(u"--home"_s);
    if (i >= 0 && i + 1 < args.size()) {
        const QString dir = args.at(i + 1);
        args.remove(i, 2);
        return ProgramFolder(dir);
    }
    return ProgramFolder::fromEnvironment();
}

int runSetup(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    QStringList args = arguments;
    const ProgramFolder folder = folderFrom(args);
    const InstallReport report = install(folder);
    for (const QString &f : report.written)
        out << "written: " << folder.file(f) << '\n';
    if (!report.ok) {
        err << "setup failed: " << report.error << '\n';
        return 1;
    }
    out << "installation ready in " << folder.path() << '\n';
    return 0;
}

QList<Command> commands() {
    return {
        {u"setup"_s, u"setup [--home DIR]"_s,
         u"Create or refresh the installation in the program folder (template database, reference texts, "
         u"supplied courses, pictures). The main database and the settings file are never touched."_s,
         runSetup},
        {u"chart"_s, QString::fromLatin1(ChartCommandUsage),
         u"Draw analysis chart N (1-6, 8, 9) for 24 plain readings in uA onto a 757 x 393 image (--png) "
         u"and/or write its drawing operations as JSON lines (--ops FILE, or standard output). "
         u"--sex defaults to male."_s,
         runChartCommand},
        {u"match"_s, u"match --courses FILE [--sex male|female] [--birth YYYY-MM-DD] V1 .. V24"_s,
         u"Print the names of the courses in FILE (any file with the course tables: the main database, "
         u"orluMCn.mdb, a transfer file) that apply to the analysis of the 24 plain readings, in matching "
         u"order, with today's date for the age (no --birth: birth date 0)."_s,
         runMatchCommand},
        {u"generate-register"_s,
         u"generate-register [--home DIR | --database FILE] --subjects N --measurements M [--seed S]"_s,
         u"Add N made-up subjects and M measurements to the main database (created when missing), in one "
         u"transaction, for load tests."_s,
         runGenerateRegisterCommand},
        {u"export-data"_s, QString::fromLatin1(ExportCommandUsage),
         u"Write one row per stored measurement with its analysis as CSV or JSON lines, optionally "
         u"pseudonymised, for statistics (orlu-cli export-data --help tells more)."_s,
         runExportCommand},
        {u"trend"_s, QString::fromLatin1(TrendCommandUsage),
         u"Draw the trend of one subject's measurements over time (body energy, the four ratios, abnormal "
         u"meridians; Standard and High apart) to a PNG, its drawing operations and/or a printed PDF page."_s,
         runTrendCommand},
        {u"probe-present"_s, u"probe-present"_s,
         u"Exit 0 when a probe is on the USB bus, 1 otherwise (the start script falls back to the simulated "
         u"probe)."_s,
         [](const QStringList &, QTextStream &out, QTextStream &) { return runProbePresent(out); }},
    };
}

void printHelp(QTextStream &out) {
    out << "orlu-cli: headless tools of the O.R.L.U. workstation\n\n"
        << "The program folder is $ORLU_HOME, else $XDG_DATA_HOME/quorix/orlu/ "
           "(~/.local/share/quorix/orlu/); --home DIR overrides it.\n\nCommands:\n";
    for (const Command &c : commands())
        out << "  orlu-cli " << c.usage << "\n      " << c.help << "\n";
    out << analysisCommandsHelp();
    out << "  orlu-cli --version\n      The version of the program.\n";
    out << "  orlu-cli --help\n      This text.\n";
}

} // namespace

int main(int argc, char *argv[]) {
    // Drawing (charts, the pictures and diagrams of an installation) needs fonts, hence a GUI
    // application, but never a display.
    const bool drawing = argc > 1 && (qstrcmp(argv[1], "chart") == 0 || qstrcmp(argv[1], "setup") == 0 ||
                                      qstrcmp(argv[1], "trend") == 0);
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app = drawing ? std::make_unique<QGuiApplication>(argc, argv)
                                                          : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == u"--help"_s || args.first() == u"-h"_s ||
        args.first() == u"help"_s) {
        printHelp(out);
        return args.isEmpty() ? 2 : 0;
    }
    if (args.first() == u"--version"_s) {
        out << "orlu-cli " << programVersion() << '\n';
        return 0;
    }
    if (isAnalysisCommand(args.first()))
        return runAnalysisCommand(args, out, err);
    const QString name = args.takeFirst();
    for (const Command &c : commands()) {
        if (c.name == name)
            return c.run(args, out, err);
    }
    err << "unknown command: " << name << "\n\n";
    printHelp(err);
    return 2;
}
