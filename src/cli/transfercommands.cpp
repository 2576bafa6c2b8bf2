#include "cli/transfercommands.h"

#include "core/clock.h"
#include "cli/commandline.h"
#include "platform/programlock.h"
#include "core/programfolder.h"
#include "storage/databasefiles.h"
#include "storage/registersetting.h"
#include "storage/serverconnection.h"
#include "storage/startupdatabases.h"
#include "transfer/transferoperations.h"

#include <QFileInfo>

#include <optional>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct Parsed {
    ProgramFolder folder;
    TransferKinds kinds;
};

// The options both commands share.
void addTransferOptions(CommandLine &cl) {
    cl.addHomeOption();
    cl.addFlag(u"courses"_s, u"The expert courses (专家疗程数据)."_s);
    cl.addFlag(u"records"_s, u"The subjects with their measurements (病历检测资料)."_s);
}

Parsed parsedOf(const CommandLine &cl) {
    Parsed p{cl.folder(), {cl.isSet(u"courses"_s), cl.isSet(u"records"_s)}};
    if (!p.kinds.any())
        p.kinds = {true, true};
    return p;
}

int report(const TransferOutcome &outcome, QTextStream &err) {
    for (const TransferNotice &n : outcome.notices)
        err << n.text << '\n';
    return outcome.ok ? 0 : ExitFailed;
}

// Runs `work` on the installation's main database.
template <typename Work>
int withMainDatabase(const QString &name, const Parsed &p, QTextStream &err, Work work) {
    Database main;
    // A fresh installation gets its empty register as at a program start.
    if (!isServerConnection(registerLocation(p.folder)) && !fileExists(p.folder.file(dbfile::Main)))
        copyTemplateRegister(p.folder.file(dbfile::Template), p.folder.file(dbfile::Main));
    const MainDatabaseOpening opening = openFolderRegister(main, p.folder);
    if (!opening.opened) {
        err << name << ": " << opening.failure << '\n';
        return ExitFailed;
    }
    SystemClock clock;
    FileCopier copier;
    TransferOperations operations(main, p.folder, clock, copier);
    return report(work(operations), err);
}

} // namespace

int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"export"_s, QString(), u"Write the register into KyTran.mdb in a folder."_s);
    addTransferOptions(cl);
    cl.addValueOption(u"to"_s, u"FOLDER"_s, u"Folder to write KyTran.mdb into."_s);
    if (const auto status = cl.parseOptionsOnly(args, out, err))
        return *status;
    const QString folder = cl.value(u"to"_s);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return cl.usageError(err, u"--to FOLDER needs an existing folder"_s);
    const Parsed p = parsedOf(cl);
    return withMainDatabase(u"export"_s, p, err, [&](TransferOperations &operations) {
        return operations.exportTo(folder, p.kinds);
    });
}

int runImportCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"import"_s, QString(), u"Import a transfer file into the register."_s);
    addTransferOptions(cl);
    cl.addValueOption(u"from"_s, u"FILE"_s, u"The transfer file to import."_s);
    cl.addFlag(u"append"_s, u"Append to the register (附加至数据中)."_s);
    cl.addFlag(u"replace"_s, u"Replace the register's rows of the chosen kinds (取代原有数据)."_s);
    if (const auto status = cl.parseOptionsOnly(args, out, err))
        return *status;
    if (cl.isSet(u"append"_s) == cl.isSet(u"replace"_s))
        return cl.usageError(err, u"give one of --append and --replace"_s);
    const QString file = cl.value(u"from"_s);
    if (file.isEmpty())
        return cl.usageError(err, u"--from FILE is required"_s);
    const Parsed p = parsedOf(cl);
    // A program running on the folder would go on showing the register as it was.
    ProgramLock lock(p.folder.path());
    if (lock.acquire() == ProgramLock::Outcome::HeldByOther) {
        err << "import: " << heldByText(lock.holder(), p.folder.path()) << '\n';
        return ExitFailed;
    }
    const ImportMode mode = cl.isSet(u"replace"_s) ? ImportMode::Replace : ImportMode::Append;
    return withMainDatabase(u"import"_s, p, err, [&](TransferOperations &operations) {
        return operations.importFrom(QFileInfo(file).absoluteFilePath(), p.kinds, mode);
    });
}

} // namespace orlu
