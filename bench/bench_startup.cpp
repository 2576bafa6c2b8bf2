// Start-up time: from the start of the process to the first activation of the
// main window (the device check itself is left out: the start-up window is not
// opened), with the start-up's housekeeping and schema check on the register.
// Then, while the background page check and the day's copy of the register run,
// how late the window's event loop gets (what the operator would feel), and how
// long that background work takes.
//
//   bench_startup [--measurements M] [--keep DIR]
//
// M measurements (default 0: a fresh installation) over M/20 subjects are made
// before the clock starts; --keep DIR makes the register there once and reuses it.
#include "app/appcontext.h"
#include "app/launchsystem.h"
#include "app/ui/mainwindow.h"
#include "app/ui/messagedialog.h"
#include "core/clock.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "storage/database.h"
#include "storage/databasefiles.h"
#include "storage/registerbackup.h"
#include "generator/registergenerator.h"
#include "storage/registermaintenance.h"
#include "storage/schema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// The installation is made before the clock starts: it is not part of a start.
bool makeInstallation(const ProgramFolder &folder, int measurements) {
    QDir().mkpath(folder.path());
    if (!fileExists(folder.file(dbfile::Template)) &&
        !createDatabaseFile(folder.file(dbfile::Template), SchemaKind::Main))
        return false;
    if (!fileExists(folder.file(dbfile::ReferenceTexts)) &&
        !createDatabaseFile(folder.file(dbfile::ReferenceTexts), SchemaKind::ReferenceTexts))
        return false;
    const QString main = folder.file(dbfile::Main);
    if (measurements == 0 || fileExists(main))
        return true;
    if (!createDatabaseFile(main, SchemaKind::Main))
        return false;
    Database db;
    return db.open(main, Database::Access::Shared) &&
           generateRegister(db.handle(), {std::max(1, measurements / 20), measurements});
}

} // namespace

int main(int argc, char *argv[]) {
    int measurements = 0;
    const char *keep = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--measurements") == 0)
            measurements = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--keep") == 0)
            keep = argv[i + 1];
    }
    QTemporaryDir dir;
    const ProgramFolder folder(keep ? QString::fromLocal8Bit(keep) : dir.path());
    if (!makeInstallation(folder, measurements))
        return 1;
    // Each run makes the day's copy anew.
    QDir(folder.file(RegisterBackup::backupFolderName())).removeRecursively();
    QElapsedTimer sinceStart;
    sinceStart.start();

    QApplication application(argc, argv);
    // A message box would wait for a hand; the bench reads it out instead.
    setMessageBoxHook([](MessageType, const QString &text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return true;
    });
    SystemClock clock;
    QtEventPump pump;
    MessageBoxPrompter prompter;
    SystemLaunchPort launcher(prompter);
    SimulatedHidLayer hid(clock, SimulatedHidLayer::Timing::RealTime);
    hid.addProbe();
    ProbeLink probe(hid, clock, pump);
    AppContext app(folder, clock, pump, prompter, launcher, probe);

    qint64 activatedMs = -1;
    WindowFactory factory = [&](WindowKind kind, QWidget *) -> std::unique_ptr<QDialog> {
        if (kind == WindowKind::StartupStatus && activatedMs < 0) {
            activatedMs = sinceStart.elapsed();
            app.device.ready = true;
        }
        return nullptr;
    };
    MainWindow mainWindow(app, factory);
    auto *maintenance = mainWindow.findChild<RegisterMaintenance *>();
    if (!maintenance)
        return 1;
    // A 5 ms tick: how late it comes is how long the window could not answer.
    QElapsedTimer sinceTick;
    double worstDelayMs = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (activatedMs >= 0 && sinceTick.isValid())
            worstDelayMs = std::max(worstDelayMs, double(sinceTick.nsecsElapsed()) / 1e6 - 5.0);
        sinceTick.restart();
    });
    tick.start(5);
    qint64 backgroundDoneMs = -1;
    QObject::connect(maintenance, &RegisterMaintenance::finished, &application, [&] {
        backgroundDoneMs = sinceStart.elapsed();
        app.device.ready = false; // leave without the exit question
        QTimer::singleShot(0, &application, &QCoreApplication::quit);
    });
    mainWindow.show();
    QTimer::singleShot(600000, &application, &QCoreApplication::quit);
    QApplication::exec();
    if (activatedMs < 0 || backgroundDoneMs < 0)
        return 1;
    std::printf("measurements: %d\n", measurements);
    std::printf("startup_ms: %lld ms\n", static_cast<long long>(activatedMs));
    std::printf("background_check_and_backup_ms: %lld ms\n",
                static_cast<long long>(backgroundDoneMs - activatedMs));
    std::printf("worst_window_delay_during_background_ms: %.1f ms\n", worstDelayMs);
    return 0;
}
