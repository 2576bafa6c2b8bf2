#include "transfer/legacyconversion.h"

#include "platform/privatefiles.h"
#include "storage/registerbackup.h"
#include "storage/databasefiles.h"
#include "transfer/registerimport.h"
#include "transfer/sourcefile.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

LegacyConversionOutcome failed(LegacyConversionOutcome outcome, const QString &why) {
    outcome.ok = false;
    outcome.message = u"ORLU 旧版数据库 orlu.mdb 转换失败：%1\n系统数据未做任何变更，orlu.mdb 保留原名，"
                      u"请排除问题后重新启动系统。"_s.arg(why);
    return outcome;
}

} // namespace

LegacyConversionOutcome convertLegacyDatabase(Database &main, const ProgramFolder &folder, const Clock &clock,
                                              TransferObserver *observer) {
    LegacyConversionOutcome outcome;
    const QString legacy = folder.file(dbfile::Legacy);
    // Anything under the name is looked at, so that a device or a pipe there is reported.
    if (pathKind(legacy) == PathKind::Absent)
        return outcome;
    outcome.ran = true;

    QString error;
    std::unique_ptr<SourceFile> source = openSourceFile(legacy, clock, &error);
    if (!source)
        return failed(outcome, error);
    outcome.backupFile = backupBeforeChange(main, folder, clock.now(), &error);
    if (outcome.backupFile.isEmpty())
        return failed(outcome, error);
    const RegisterImportResult result =
        importRegister(main.handle(), *source, {true, true}, ImportMode::Append, observer);
    source.reset();
    if (!result.ok)
        return failed(outcome, result.error);

    const QString backup = folder.file(dbfile::LegacyBackup);
    if (fileExists(backup))
        deleteDatabaseFile(backup);
    if (!renameDatabaseFile(legacy, backup)) {
        // The rows are in; a second start must not append them again.
        outcome.message = u"ORLU 旧版数据库已转换，但 orlu.mdb 无法改名为 orlu_BAK.mdb，"
                          u"请先将它移出系统工作目录，以免下次启动时重复转换。"_s;
        return outcome;
    }
    outcome.ok = true;
    outcome.message = u"ORLU 旧版数据库转换完成，旧数据库已改名为 orlu_BAK.mdb。\n原有的数据已备份至 "_s +
                      outcome.backupFile;
    return outcome;
}

} // namespace orlu
