#include "app/appcontext.h"
#include "app/launchsystem.h"
#include "app/singleinstance.h"
#include "app/ui/mainwindow.h"
#include "app/ui/manualhelp.h"
#include "app/ui/messagedialog.h"
#include "app/ui/windowtour.h"
#include "app/windowfactory.h"
#include "install/installer.h"
#include "core/version.h"
#include "core/clock.h"
#include "core/daycount.h"
#include "device/probebackend.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "device/ui/simulatedprobewindow.h"
#include "measure/probelinkoperations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPrinter>
#include <QTranslator>

#include <cstdio>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

const char UsageText[] =
    "Usage: orlu [--simulate-probe]\n"
    "The O.R.L.U. meridian energy analyser workstation: measures with the USB probe, keeps the\n"
    "register of subjects and measurements, analyses, charts, prints and compares them.\n"
    "\n"
    "Options:\n"
    "  --simulate-probe  start with a simulated probe instead of the one on the USB bus\n"
    "  --help            show this text and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "The program folder (databases, settings file, pictures) is $ORLU_HOME, else\n"
    "$XDG_DATA_HOME/quorix/orlu/ (~/.local/share/quorix/orlu/); it is made on the first start.\n"
    "ORLU_PROBE=sim also selects the simulated probe; ORLU_DATABASE names a register on a\n"
    "PostgreSQL server instead of the main database file.\n";

} // namespace

int main(int argc, char *argv[]) {
    // Answered before the application starts, so they need no display.
    if (argc == 2 && qstrcmp(argv[1], "--version") == 0) {
        std::printf("orlu %s\n", programVersion());
        return 0;
    }
    if (argc == 2 && qstrcmp(argv[1], "--help") == 0) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Quorix Ky-Professional"_s);
    QApplication::setApplicationDisplayName(u"Quorix Ky-Professional"_s);
    // The program speaks simplified Chinese; so do the printer set-up, the file
    // choosers and the text boxes' context menus that Qt brings along.
    // Date and time boxes follow the forms the program shows dates in.
    QLocale::setDefault(dateTimeLocale());
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), u"qtbase"_s, u"_"_s,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    SystemClock clock;
    QtEventPump pump;
    MessageBoxPrompter prompter;
    SystemLaunchPort launcher(prompter);
    const ProgramFolder folder = ProgramFolder::fromEnvironment();
    // Started from the desktop menu for the first time: the folder is made here, so nobody
    // has to run "orlu-cli setup" first. What fails is reported by the installation check.
    if (const std::optional<InstallReport> made = installOnFirstStart(folder); made && !made->ok)
        std::fprintf(stderr, "orlu: %s\n", qPrintable(made->error));
    // One program per folder: two would each write the settings, the usage counter and the register.
    SingleInstance instance(folder);
    if (!instance.claim())
        return 1;
    std::unique_ptr<HidLayer> hid =
        createHidLayer(chooseProbeBackend(application.arguments()), folder, clock);
    ProbeLink probe(*hid, clock, pump);
    ProbeLinkOperations probeOperations(probe);
    AppContext app(folder, clock, pump, prompter, launcher, probe);
    QPrinter printer(QPrinter::HighResolution);

    MainWindow mainWindow(app, makeWindowFactory(app, probeOperations, printer));
    // In simulation a small tool window beside the program plays the probe's surroundings.
    std::unique_ptr<SimulatedProbeWindow> simulation;
    if (auto *sim = qobject_cast<SimulatedHidLayer *>(hid.get())) {
        simulation = std::make_unique<SimulatedProbeWindow>(*sim);
        simulation->show();
    }
    instance.raiseOnRequest(mainWindow);
    // F1 in every window opens the manual at that window's section.
    ManualHelpKey manualHelp(launcher);
    application.installEventFilter(&manualHelp);
    WindowTour::startFromEnvironment(&application);
    mainWindow.show();
    return QApplication::exec();
}
