// What keeping the register safe costs on a large register: the start-up's
// housekeeping and schema check against a plain open, the background page
// check, a routine copy, and how long starting the background work holds up
// the caller (the main window's thread).
//
//   bench_safety [--measurements M] [--keep DIR]
//
// The register (M measurements, default 1,000,000, over M/20 subjects) is made
// first and is not timed; --keep DIR makes it there once and reuses it.
#include "core/programfolder.h"
#include "storage/database.h"
#include "storage/databasecheck.h"
#include "storage/databasefiles.h"
#include "storage/registerbackup.h"
#include "generator/registergenerator.h"
#include "storage/registermaintenance.h"
#include "storage/schema.h"
#include "storage/startupdatabases.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

double msSince(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e6;
}

void report(const char *name, double value, const char *unit) {
    std::printf("%s: %.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int measurements = 1000000;
    QString keep;
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--measurements"_s)
            measurements = args[i + 1].toInt();
        else if (args[i] == u"--keep"_s)
            keep = args[i + 1];
    }
    QTemporaryDir temp;
    const ProgramFolder folder(keep.isEmpty() ? temp.path() : keep);
    QDir().mkpath(folder.path());
    const QString main = folder.file(dbfile::Main);
    if (!fileExists(main)) {
        if (!createDatabaseFile(folder.file(dbfile::Template), SchemaKind::Main) ||
            !createDatabaseFile(main, SchemaKind::Main))
            return 1;
        Database db;
        if (!db.open(main, Database::Access::Shared) ||
            !generateRegister(db.handle(), {std::max(1, measurements / 20), measurements}))
            return 1;
    }
    report("register_mb", double(QFileInfo(main).size()) / 1e6, "MB");

    QElapsedTimer t;
    t.start();
    {
        Database db;
        db.open(main, Database::Access::Shared);
    }
    report("open_without_checks_ms", msSince(t), "ms");

    t.restart();
    {
        upgradeDatabaseFiles(folder, QDateTime::currentDateTime());
        Database db;
        openMainDatabase(db, main);
    }
    report("open_with_housekeeping_and_schema_check_ms", msSince(t), "ms");

    t.restart();
    {
        Database db;
        db.open(main, Database::Access::ReadOnly);
        pageFindings(db.handle(), PageCheck::Quick);
    }
    report("quick_check_background_ms", msSince(t), "ms");

    QTemporaryDir backups;
    const RegisterBackup backup(main, backups.path());
    t.restart();
    backup.copyTo(backups.filePath(u"copy.mdb"_s));
    report("backup_vacuum_into_and_check_ms", msSince(t), "ms");

    // What the main window's thread spends to set the background work going.
    RegisterMaintenance maintenance;
    t.restart();
    maintenance.start(main, backups.filePath(u"rotation"_s), QDate::currentDate());
    report("background_start_on_caller_ms", msSince(t), "ms");
    t.restart();
    maintenance.wait();
    report("background_check_and_backup_ms", msSince(t), "ms");
    return 0;
}
