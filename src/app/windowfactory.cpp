#include "app/windowfactory.h"

#include "analysis/measurementscatter.h"
#include "analysis/printoptions.h"
#include "analysis/textstore.h"
#include "storage/calibrationlog.h"
#include "analysis/ui/analysiswindow.h"
#include "analysis/ui/explanationwindow.h"
#include "app/appcontext.h"
#include "app/ui/placeholderwindow.h"
#include "app/ui/settingswindow.h"
#include "charts/printsystem.h"
#include "charts/ui/reportprintjob.h"
#include "compare/comparisonreport.h"
#include "compare/ui/comparisonselectionwindow.h"
#include "compare/ui/multicomparisonwindow.h"
#include "compare/ui/tworecordcomparisonwindow.h"
#include "courses/coursestore.h"
#include "courses/ui/coursewindow.h"
#include "device/probelink.h"
#include "device/ui/startupstatuswindow.h"
#include "measure/ui/calibrationwindow.h"
#include "measure/ui/locatingwindow.h"
#include "measure/ui/manualentrywindow.h"
#include "measure/ui/measurementwindow.h"
#include "transfer/legacyconversion.h"
#include "records/measurementrepository.h"
#include "records/recordcontext.h"
#include "records/ui/readingwindow.h"
#include "records/ui/savingwindow.h"
#include "transfer/ui/transferwindow.h"
#include "trend/trendreport.h"
#include "trend/ui/trendexporttools.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>

#include <cmath>

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
    case WindowKind::Saving:
        return u"经络能量数据储存"_s;
    }
    return {};
}

AlertTonePlayer toneOf(AppContext &app) {
    return [&app](AlertTone tone) { app.probe.playAlertTone(tone); };
}

// The register may be on a server that went away: it is tried (and reconnected) before a
// window that works on it opens, and the operator told when it cannot be reached.
bool registerReachable(AppContext &app) {
    return reachRegister(app.mainDb, app.prompter);
}

ProbeWindowContext probeWindowContext(AppContext &app, ProbeOperations &probe) {
    return {app.settings, [&app] { return app.saveSettings(); }, probe, app.prompter, app.clock,
            app.pump,     app.folder.file(CalibrationLogFile)};
}

RecordContext recordContextOf(AppContext &app) {
    return {RecordStore(app.mainDb), app.measurement, app.subjectOrder, app.prompter, app.clock, toneOf(app)};
}

// The system's printer set-up on the program's printer; a cancelled set-up keeps the old one.
std::function<void(QWidget *)> printerSetupOn(AppContext &app, QPrinter &printer) {
    return [&app, &printer](QWidget *p) {
        QPrintDialog setup(&printer, p);
        setup.setWindowTitle(u"打印设定"_s);
        if (setup.exec() != QDialog::Accepted)
            app.prompter.showMessageBox(MessageType::NoteError,
                                        u"打印设定已取消，打印机与纸张仍按原来的设定。"_s);
    };
}

ReadingWindow::ManualEntryOpener manualEntryOpener(AppContext &app) {
    return [&app](qint64 key, QWidget *p) {
        ManualEntryWindow entry(ManualEntryWindow::Modify{MeasurementRepository(app.mainDb.handle()), key},
                                app.prompter, app.clock, p);
        entry.exec();
    };
}

// The computer's print queues, for the whole run.
PrintSystem &printSystem() {
    static const std::unique_ptr<PrintSystem> system = systemPrintSystem();
    return *system;
}

// The print mode of the analysis window's print page ("彩色" or "单色") holds for every print-out.
bool printsSingleColour(const AppContext &app) {
    return !parsePrintOptions(app.settings.printOptions).at(PrintOption::Colour);
}

ComparisonPrinting comparisonPrinting(AppContext &app, QPrinter &printer) {
    ComparisonPrinting printing;
    printing.printerSetup = printerSetupOn(app, printer);
    printing.prompter = &app.prompter;
    printing.print = [&app, &printer](const ComparisonPrintout &printout, QWidget *p) {
        const ComparisonReportHeader header{app.settings.userData1, app.settings.userData2, app.clock.now(),
                                            printsSingleColour(app)};
        return printReportJob(printer, printSystem(), comparisonReportJob(printout, header), app.prompter,
                              app.pump, p)
            .status;
    };
    return printing;
}

// The trend window's print-out on the program's printer, with the settings' header.
TrendWindow::Printer trendPrinting(AppContext &app, QPrinter &printer) {
    return [&app, &printer](const TrendSeries &series, QWidget *p) {
        const TrendReportHeader header{app.settings.userData1, app.settings.userData2, app.clock.now(),
                                       printsSingleColour(app)};
        return printReportJob(printer, printSystem(), trendReportJob(series, header), app.prompter, app.pump,
                              p)
            .status;
    };
}

// The reading window's trend and open export, printing on the program's printer.
ReadingToolsMaker readingTools(AppContext &app, QPrinter &printer) {
    return [&app, &printer](QToolBar *bar, const RecordContext &context, ReadingListAccess list,
                            QWidget *window) -> ReadingTools * {
        auto *tools = new TrendExportTools(bar, context, std::move(list), window);
        tools->setTrendPrinter(trendPrinting(app, printer));
        tools->setCalibrationLog(app.folder.file(CalibrationLogFile));
        return tools;
    };
}

void openTwoRecordComparison(AppContext &app, QPrinter &printer, QWidget *parent) {
    auto loadThroughReading = [&app, &printer](ComparisonRecord &record, QWidget *p) {
        if (!registerReachable(app))
            return;
        ReadingWindow reading(recordContextOf(app), ReadingWindow::Caller::ComparisonWindow, &record,
                              manualEntryOpener(app), readingTools(app, printer), p);
        reading.exec();
    };
    TwoRecordComparisonWindow window(app.measurement, loadThroughReading, comparisonPrinting(app, printer),
                                     parent);
    window.setScatterModel(
        scatterModelOf(RecordStore(app.mainDb).measurements().repeatPairs(scatter::PairWindowMinutes)));
    window.exec();
}

std::unique_ptr<QDialog> multiComparisonWindow(AppContext &app, QPrinter &printer, QWidget *parent) {
    auto openSelection = [&app](QWidget *p) {
        if (!registerReachable(app))
            return;
        ComparisonSelectionWindow selection(recordContextOf(app), app.comparisonSet, p);
        selection.exec();
    };
    return std::make_unique<MultiComparisonWindow>(app.comparisonSet, openSelection,
                                                   comparisonPrinting(app, printer), parent);
}

void openAnalysis(AppContext &app, QPrinter &printer, QWidget *parent) {
    if (!registerReachable(app))
        return;
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
    services.printing.printerSetup = printerSetupOn(app, printer);
    services.printing.printReport = [&app, &printer](const AnalysisPrintRequest &request, QWidget *p) {
        return printAnalysisReportJob(printer, printSystem(), request.report, app.prompter, app.pump, p)
            .status;
    };
    services.printing.previewReport = [&printer](const AnalysisPrintRequest &request, QWidget *p) {
        previewAnalysisReport(printer, request.report, p);
    };
    AnalysisWindow window(std::move(services), parent);
    window.exec();
}

void openReading(AppContext &app, QPrinter &printer, QWidget *parent) {
    if (!registerReachable(app))
        return;
    ReadingWindow window(recordContextOf(app), ReadingWindow::Caller::MeasurementWindow, nullptr,
                         manualEntryOpener(app), readingTools(app, printer), parent);
    window.exec();
}

// The measurement window is the hub: it hands over to analysis, saving, reading and comparison.
std::unique_ptr<QDialog> measurementWindow(AppContext &app, ProbeOperations &probe, QPrinter &printer,
                                           QWidget *parent) {
    MeasurementWindowContext context{probeWindowContext(app, probe), app.measurement,
                                     app.folder.dataFolder()};
    MeasurementHandOvers handOvers;
    handOvers.analysis = [&app, &printer](QWidget *p) { openAnalysis(app, printer, p); };
    handOvers.saving = [&app](QWidget *p) {
        if (!registerReachable(app))
            return;
        SavingWindow window(recordContextOf(app), p);
        window.exec();
    };
    // A register open for looking up only offers no saving, and says why.
    handOvers.savingUnavailable = app.mainDbReadOnlyReason;
    handOvers.reading = [&app, &printer](QWidget *p) { openReading(app, printer, p); };
    handOvers.comparison = [&app, &printer](QWidget *p) { openTwoRecordComparison(app, printer, p); };
    return std::make_unique<MeasurementWindow>(std::move(context), std::move(handOvers), parent);
}

// The take-over of an older "orlu.mdb" at the end of the start-up window, on its progress bar.
StartupFinishingWork legacyConversionOf(AppContext &app) {
    return [&app](StartupProgress &progress) {
        if (!QFile::exists(app.folder.file(u"orlu.mdb"_s)))
            return;
        progress.showStatus(u"ORLU 数据库转换中，请稍候.."_s);
        struct OnStartupBar final : TransferObserver {
            explicit OnStartupBar(StartupProgress &p)
                : bar(p) {}
            void progressed(double fraction) override {
                bar.setProgress(int(std::lround(fraction * bar.progressMaximum())));
            }
            StartupProgress &bar;
        } observer(progress);
        progress.setProgress(0);
        const LegacyConversionOutcome outcome =
            convertLegacyDatabase(app.mainDb, app.folder, app.clock, &observer);
        progress.setProgress(progress.progressMaximum());
        if (!outcome.message.isEmpty())
            app.prompter.showMessageBox(MessageType::NoteError, outcome.message);
    };
}

std::unique_ptr<QDialog> transferWindow(AppContext &app, QWidget *parent) {
    return std::make_unique<TransferWindow>(TransferWindowContext{TransferStore(app.mainDb), app.folder,
                                                                  app.prompter, app.clock, app.pump,
                                                                  toneOf(app)},
                                            parent);
}

} // namespace

WindowFactory makeWindowFactory(AppContext &app, ProbeOperations &probe, QPrinter &printer) {
    return [&app, &probe, &printer](WindowKind kind, QWidget *parent) -> std::unique_ptr<QDialog> {
        switch (kind) {
        case WindowKind::StartupStatus:
            return std::make_unique<StartupStatusWindow>(app.probe, app.clock, app.pump, app.device,
                                                         legacyConversionOf(app), parent);
        case WindowKind::Measurement:
            return measurementWindow(app, probe, printer, parent);
        case WindowKind::Calibration:
            return std::make_unique<CalibrationWindow>(probeWindowContext(app, probe), parent);
        case WindowKind::Locate:
            return std::make_unique<LocatingWindow>(probeWindowContext(app, probe), parent);
        case WindowKind::MultiCompare:
            return multiComparisonWindow(app, printer, parent);
        case WindowKind::Explain:
            return std::make_unique<ExplanationWindow>(ReferenceTextStore(app.textDb.handle()), parent);
        case WindowKind::Courses:
            if (!registerReachable(app))
                return nullptr;
            return std::make_unique<CourseWindow>(CourseStore(app.mainDb.handle()), app.prompter,
                                                  app.launcher, toneOf(app), parent);
        case WindowKind::FileTransfer:
            return transferWindow(app, parent);
        case WindowKind::Saving:
            if (!registerReachable(app))
                return nullptr;
            return std::make_unique<SavingWindow>(recordContextOf(app), parent);
        case WindowKind::Settings:
            return std::make_unique<SettingsWindow>(app.settings, app.settingsPath(), app.launcher,
                                                    app.prompter, parent);
        default:
            return std::make_unique<PlaceholderWindow>(captionOf(kind), parent);
        }
    };
}

} // namespace orlu
