#include "cli/registercommands.h"

#include "core/commandline.h"
#include "core/privatefiles.h"
#include "core/programlock.h"
#include "records/databasecheck.h"
#include "records/databasefiles.h"
#include "records/registerbackup.h"

#include <QDateTime>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

RegisterBackup backupOf(const ProgramFolder &folder) {
    return RegisterBackup(folder.file(dbfile::Main), folder.file(RegisterBackup::backupFolderName()));
}

} // namespace

int runCheckCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"check"_s, QString(),
                   u"Check every database of the program folder: the engine's integrity_check and the "
                   u"tables and columns the program needs. Prints one line per file; exit status 1 when "
                   u"a file is missing or has findings."_s);
    cl.addHomeOption();
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    const ProgramFolder folder = cl.folder();
    struct Checked {
        QString name;
        SchemaKind kind;
        bool required;
    };
    const Checked files[] = {{dbfile::Main, SchemaKind::Main, true},
                             {dbfile::ReferenceTexts, SchemaKind::ReferenceTexts, true},
                             {dbfile::SuppliedCourses, SchemaKind::SuppliedCourses, false},
                             {dbfile::Template, SchemaKind::Main, true}};
    bool sound = true;
    for (const Checked &f : files) {
        const QString path = folder.file(f.name);
        if (pathKind(path) == PathKind::Absent && !f.required)
            continue;
        const QStringList findings = checkDatabaseFile(path, f.kind, PageCheck::Integrity);
        if (findings.isEmpty()) {
            out << path << ": ok\n";
            continue;
        }
        sound = false;
        for (const QString &finding : findings)
            out << path << ": " << finding << '\n';
    }
    out.flush();
    return sound ? ExitOk : ExitFailed;
}

int runBackupCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(
        u"backup"_s, QString(),
        u"Copy the main database, consistently even while the program runs, and check the copy. "
        u"Without --to the copy goes to backups/orlu4-YYYYMMDD-HHMMSS.mdb in the program folder."_s);
    cl.addHomeOption();
    cl.addValueOption(
        u"to"_s, u"FILE"_s,
        u"Where the copy goes: a new or regular file (replaced only by a complete copy), a pipe, "
        u"a device, or \"-\" for standard output."_s);
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    const ProgramFolder folder = cl.folder();
    const RegisterBackup backup = backupOf(folder);
    QString target = cl.value(u"to"_s);
    if (target.isEmpty()) {
        if (!createPrivateFolder(backup.folder())) {
            err << "backup: cannot create " << backup.folder() << '\n';
            return ExitFailed;
        }
        target = backup.onDemandPath(QDateTime::currentDateTime());
    }
    QString error;
    if (!backup.copyTo(target, &error)) {
        err << "backup: " << folder.file(dbfile::Main) << ": " << error << '\n';
        return ExitFailed;
    }
    // Standard output may be the copy itself.
    (target == u"-"_s ? err : out) << "backup: " << target << '\n';
    return ExitOk;
}

int runRestoreCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"restore"_s, QString(),
                   u"Put a copy back as the main database, once it passes the checks of a main database. "
                   u"The replaced file is kept as backups/orlu4-replaced-YYYYMMDD-HHMMSS.mdb. The program "
                   u"must not be running on the folder."_s);
    cl.addHomeOption();
    cl.addValueOption(u"from"_s, u"FILE"_s, u"The copy to put back."_s);
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    if (!cl.isSet(u"from"_s))
        return cl.usageError(err, u"--from FILE is required"_s);
    const ProgramFolder folder = cl.folder();
    ProgramLock lock(folder);
    if (lock.acquire() == ProgramLock::Outcome::HeldByOther) {
        err << "restore: the program is running on " << folder.path() << "; close it first\n";
        return ExitFailed;
    }
    QString kept;
    QString error;
    if (!backupOf(folder).restore(cl.value(u"from"_s), QDateTime::currentDateTime(), &kept, &error)) {
        err << "restore: " << error << '\n';
        return ExitFailed;
    }
    out << "restored " << cl.value(u"from"_s) << " as " << folder.file(dbfile::Main) << '\n';
    if (!kept.isEmpty())
        out << "the replaced database is kept as " << kept << '\n';
    return ExitOk;
}

} // namespace orlu
