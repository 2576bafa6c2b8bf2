#include "app/windowfactory.h"

#include "analysis/ui/analysiswindow.h"
#include "analysis/ui/explanationwindow.h"
#include "app/appcontext.h"
#include "app/ui/placeholderwindow.h"
#include "app/ui/settingswindow.h"
#include "courses/ui/coursewindow.h"
#include "device/probelink.h"
#include "device/ui/startupstatuswindow.h"
#include "measure/ui/manualentrywindow.h"
#include "measure/ui/measurementwindow.h"
#include "analysis/textstore.h"
#include "courses/coursestore.h"
#include "records/measurementrepository.h"
#include "records/recordcontext.h"
#include "records/ui/readingwindow.h"
#include "records/ui/savingwindow.h"

#include <QPrintDialog>
#include <QPrinter>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString captionOf(WindowKind kind) {
    switch (kind) {
    case WindowKind::StartupStatus:
        return u"系统状态设定"_s;
    case WindowKind::Measurement:
        return u"经络测量"_s;
    case WindowKind::MultiCompare:
        return u"多重比对"_s;
    case WindowKind::Locate:
        return u"穴道定位"_s;
    case WindowKind::Explain:
        return u"经络解说"_s;
    case WindowKind::Courses:
        return u"专家疗程"_s;
    case WindowKind::Calibration:
        return u"数位校准"_s;
    case WindowKind::FileTransfer:
        return u"档案处理"_s;
    case WindowKind::Settings:
        return u"用户基本数据设定"_s;
    }
    return {};
}

std::function<void(int)> toneOf(AppContext &app) {
    return [&app](int n) { app.probe.playAlertTone(n); };
}

RecordContext recordContextOf(AppContext &app) {
    return {app.mainDb, app.measurement, app.subjectSortCode, app.prompter, app.clock, toneOf(app)};
}

void openAnalysis(AppContext &app, QPrinter &printer, QWidget *parent) {
    MeasurementRepository measurements(app.mainDb.handle());
    const CourseStore courses(app.mainDb.handle());
    const ReferenceTextStore texts(app.textDb.handle());
    std::optional<CourseStore> supplied;
    AnalysisWindowServices services{app.measurement,
                                    app.analysisView,
                                    app.settings,
                                    [&app] { app.saveSettings(); },
                                    measurements,
                                    courses,
                                    texts,
                                    [&app, &supplied]() -> const CourseStore * {
                                        if (!supplied && app.openSuppliedCourses())
                                            supplied.emplace(app.suppliedDb.handle());
                                        return supplied ? &*supplied : nullptr;
                                    },
                                    app.prompter,
                                    app.launcher,
                                    app.clock};
    services.printing.printerSetup = [&printer](QWidget *p) {
        QPrintDialog setup(&printer, p);
        setup.setWindowTitle(u"打印设定"_s);
        setup.exec();
    };
    AnalysisWindow window(std::move(services), parent);
    window.exec();
}

void openReading(AppContext &app, QWidget *parent) {
    auto openManualEntry = [&app](qint64 key, QWidget *p) {
        ManualEntryWindow entry(ManualEntryWindow::Modify{MeasurementRepository(app.mainDb.handle()), key},
                                app.prompter, app.clock, p);
        entry.exec();
    };
    ReadingWindow window(recordContextOf(app), ReadingWindow::Caller::MeasurementWindow, nullptr,
                         openManualEntry, parent);
    window.exec();
}

// The measurement window is the hub: it hands over to analysis, saving, reading and comparison.
std::unique_ptr<QDialog> measurementWindow(AppContext &app, ProbeOperations &probe, QPrinter &printer,
                                           QWidget *parent) {
    MeasurementWindowContext context{
        app.measurement, app.settings,           [&app] { return app.saveSettings(); },
        probe,           app.prompter,           app.clock,
        app.pump,        app.folder.dataFolder()};
    MeasurementHandOvers handOvers;
    handOvers.analysis = [&app, &printer](QWidget *p) { openAnalysis(app, printer, p); };
    handOvers.saving = [&app](QWidget *p) {
        SavingWindow window(recordContextOf(app), p);
        window.exec();
    };
    handOvers.reading = [&app](QWidget *p) { openReading(app, p); };
    handOvers.comparison = [](QWidget *p) {
        PlaceholderWindow window(u"两笔比对"_s, p);
        window.exec();
    };
    return std::make_unique<MeasurementWindow>(std::move(context), std::move(handOvers), parent);
}

} // namespace

WindowFactory makeWindowFactory(AppContext &app, ProbeOperations &probe, QPrinter &printer) {
    return [&app, &probe, &printer](WindowKind kind, QWidget *parent) -> std::unique_ptr<QDialog> {
        switch (kind) {
        case WindowKind::StartupStatus:
            return std::make_unique<StartupStatusWindow>(app.probe, app.clock, app.pump, app.folder,
                                                         app.device, LegacyConversionHook{}, parent);
        case WindowKind::Measurement:
            return measurementWindow(app, probe, printer, parent);
        case WindowKind::Explain:
            return std::make_unique<ExplanationWindow>(ReferenceTextStore(app.textDb.handle()), parent);
        case WindowKind::Courses:
            return std::make_unique<CourseWindow>(CourseStore(app.mainDb.handle()), app.prompter,
                                                  app.launcher, toneOf(app), parent);
        case WindowKind::Settings:
            return std::make_unique<SettingsWindow>(app.settings, app.settingsPath(), app.launcher,
                                                    app.prompter, parent);
        default:
            return std::make_unique<PlaceholderWindow>(captionOf(kind), parent);
        }
    };
}

} // namespace orlu
