#include "app/startup.h"

#include "app/appcontext.h"
#include "core/clock.h"
#include "device/probelink.h"
#include "storage/databasefiles.h"
#include "storage/listindexes.h"
#include "storage/namesortkeys.h"
#include "storage/startupdatabases.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString InstallationMissing = u"您没有完全安装 O.R.L.U.，数据库不存在！请重新安装ORLU。"_s;
const QString DatabaseStartError = u"ORLU 数据库启动错误！如果您的操作系统是 Windows 98, SE 或 NT 4.0，"
                                   u"请先安装 Microsoft ADO 驱动程序再执行ORLU，安装方式请参阅操作手册。"_s;
const QString ReadOnlyRegister = u"%1。数据库只能查阅，无法储存检测数据。"_s;

void openDatabases(AppContext &app, Startup::Outcome &outcome) {
    const ProgramFolder &folder = app.folder;
    const HousekeepingReport housekeeping = upgradeDatabaseFiles(folder, app.clock.now());
    for (const StartupNotice &notice : housekeeping.notices)
        outcome.messages.append({notice.type, notice.text});
    // The register is the main database file, or a server the seat is set to.
    const MainDatabaseOpening main = openFolderRegister(app.mainDb, folder, housekeeping.mainProblem);
    QString failure = main.failure;
    if (failure.isEmpty())
        failure = openReferenceTexts(app.textDb, folder.file(dbfile::ReferenceTexts));
    if (!failure.isEmpty()) {
        outcome.messages.append({MessageType::NoteError, main.onServer && !main.opened
                                                             ? failure
                                                             : DatabaseStartError + u'\n' + failure});
        outcome.mustClose = true;
    } else if (!main.readOnlyReason.isEmpty()) {
        app.mainDbReadOnlyReason = main.readOnlyReason;
        outcome.messages.append({MessageType::NoteCaution, ReadOnlyRegister.arg(main.readOnlyReason)});
    }
    // The record lists sort and search through these; building them on a large register takes a while,
    // so it happens once here rather than when a window opens.
    if (app.mainDb.isOpen() && !app.mainDb.isReadOnly()) {
        ensureListIndexes(app.mainDb.handle());
        // Names an older program changed get their sort keys again.
        refreshNameSortKeys(app.mainDb.handle(), KeyCheck::Thorough);
    }
}

} // namespace

Startup::Outcome Startup::prepare(AppContext &app) {
    Outcome outcome;
    // The probe is taken here if it is plugged in already.
    app.probe.registerDeviceChange();
    app.measurement.memo.clear();

    if (!fileExists(app.folder.file(dbfile::Template))) {
        outcome.messages.append({MessageType::NoteError, InstallationMissing, false});
        outcome.mustClose = true;
    }
    openDatabases(app, outcome);

    app.subjectOrder = {};
    app.comparisonSet = ComparisonSet();
    app.analysisView = {};
    app.measurement.recordKey = 0;

    QString settingsError;
    app.settings = loadOrCreateSettings(app.settingsPath(), app.clock.now().date(), &settingsError);
    if (!settingsError.isEmpty())
        outcome.messages.append({MessageType::NoteCaution, settingsError, false});

    CurrentMeasurement &cm = app.measurement;
    cm.subject.clear();
    cm.measuredAt = 0;
    cm.pointsSinceCounterUpdate = 0;
    return outcome;
}

} // namespace orlu
