#include "cli/registercommands.h"

#include "platform/outputfile.h"
#include "cli/commandline.h"
#include "platform/privatefiles.h"
#include "platform/programlock.h"
#include "storage/databasecheck.h"
#include "storage/databasefiles.h"
#include "storage/registerbackup.h"
#include "storage/registersetting.h"
#include "storage/serverconnection.h"
#include "storage/startupdatabases.h"

#include <QDateTime>
#include <QFileInfo>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

RegisterBackup backupOf(const ProgramFolder &folder) {
    return RegisterBackup(folder.file(dbfile::Main), folder.file(RegisterBackup::backupFolderName()));
}

// The folder's register when it is on a server, else empty.
QString serverRegisterOf(const ProgramFolder &folder) {
    const QString where = registerLocation(folder);
    return isServerConnection(where) ? where : QString();
}

// The register on the server, copied in one snapshot into a register file, then to `target`
// as a file copy goes.
bool backupServerRegister(const ProgramFolder &folder, const QString &target, QString *error) {
    Database server;
    const MainDatabaseOpening opening = openFolderRegister(server, folder);
    if (!opening.opened) {
        *error = opening.failure;
        return false;
    }
    const ServerRegisterFile copy(server.handle());
    if (!copy.isValid() ||
        !RegisterBackup(copy.path(), QFileInfo(copy.path()).absolutePath()).copyTo(target, error)) {
        *error = server.path() + u": "_s + (copy.isValid() ? *error : copy.error());
        return false;
    }
    return true;
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
    if (!serverRegisterOf(folder).isEmpty()) {
        // The register itself is on the server, which checks its own pages; the tables are checked here.
        Database server;
        const MainDatabaseOpening opening = openFolderRegister(server, folder);
        if (opening.opened) {
            out << server.path() << ": ok (tables and columns)\n";
        } else {
            sound = false;
            out << opening.failure << '\n';
        }
    }
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
        // What copies killed before they were done left there goes.
        removeStaleTemporariesIn(backup.folder());
    }
    QString error;
    if (!serverRegisterOf(folder).isEmpty()) {
        if (!backupServerRegister(folder, target, &error)) {
            err << "backup: " << error << '\n';
            return ExitFailed;
        }
    } else if (!backup.copyTo(target, &error)) {
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
    if (const QString server = serverRegisterOf(folder); !server.isEmpty()) {
        err << "restore: the register of " << folder.path() << " is on a server (" << server
            << "); nothing was restored. Copy a register file into an empty server register with "
               "\"orlu-cli db copy --from FILE --to CONNECTION\".\n";
        return ExitFailed;
    }
    ProgramLock lock(folder.path());
    if (lock.acquire() == ProgramLock::Outcome::HeldByOther) {
        err << "restore: " << heldByText(lock.holder(), folder.path()) << '\n';
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
