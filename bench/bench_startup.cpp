// Start-up time: from the start of the process to the first activation of the
// main window, with a fresh installation and an empty register. The device
// check itself is left out (the start-up window is not opened).
#include "app/appcontext.h"
#include "app/launchsystem.h"
#include "app/ui/mainwindow.h"
#include "app/ui/messagedialog.h"
#include "core/clock.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "records/databasefiles.h"
#include "records/schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace orlu;

int main(int argc, char *argv[]) {
    // The installation is made before the clock starts: it is not part of a start.
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    // The two files a start opens; their content does not change how long it takes.
    if (!createDatabaseFile(folder.file(dbfile::Template), SchemaKind::Main) ||
        !createDatabaseFile(folder.file(dbfile::ReferenceTexts), SchemaKind::ReferenceTexts))
        return 1;
    QElapsedTimer sinceStart;
    sinceStart.start();

    QApplication application(argc, argv);
    SystemClock clock;
    QtEventPump pump;
    MessageBoxPrompter prompter;
    SystemLaunchPort launcher;
    SimulatedHidLayer hid(clock, SimulatedHidLayer::Timing::RealTime);
    hid.addProbe();
    ProbeLink probe(hid, clock, pump);
    AppContext app(folder, clock, pump, prompter, launcher, probe);

    qint64 activatedMs = -1;
    WindowFactory factory = [&](WindowKind kind, QWidget *) -> std::unique_ptr<QDialog> {
        if (kind == WindowKind::StartupStatus && activatedMs < 0) {
            activatedMs = sinceStart.elapsed();
            app.device.ready = true;
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
        }
        return nullptr;
    };
    MainWindow mainWindow(app, factory);
    mainWindow.show();
    QTimer::singleShot(10000, &application, &QCoreApplication::quit);
    QApplication::exec();
    app.device.ready = false; // leave without the exit question
    if (activatedMs < 0)
        return 1;
    std::printf("startup_ms: %lld ms\n", static_cast<long long>(activatedMs));
    return 0;
}
