#include "transfer/transferoperations.h"

#include "platform/privatefiles.h"
#include "storage/registerbackup.h"
#include "storage/databasefiles.h"
#include "storage/registercopy.h"
#include "storage/schema.h"
#include "transfer/sourcefile.h"
#include "storage/sqlcopy.h"
#include "storage/sqldialect.h"
#include "transfer/transfercolumns.h"
#include "storage/siderows.h"
#include "transfer/transferlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int SqliteReadOnly = 8;
constexpr int SqliteIoError = 10;
constexpr int SqliteFull = 13;
constexpr int SqliteCantOpen = 14;

TransferNotice failure(const QString &text) {
    return {AlertTone::Caution, MessageType::NoteCaution, text};
}

bool sameFile(const QString &a, const QString &b) {
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

void dropFile(const QString &path) {
    if (!fileExists(path))
        return;
    if (isReadOnlyFile(path))
        clearReadOnly(path);
    deleteDatabaseFile(path);
}

// What is wrong with the operator's file, under its name (the working copy's is of no use to them).
QString namingSource(const QString &file, const QString &problem) {
    return QDir::toNativeSeparators(file) + u"：\n"_s + problem;
}

// Writes what a reader of the SQLite file `from` sees (its write-ahead log included)
// into the new file `to`, reading `from` without changing it.
bool copyThroughSqlite(const QString &from, const QString &to, QString *error) {
    Database source;
    QString openError;
    if (!source.open(from, Database::Access::ReadOnly, &openError)) {
        *error = u"来源档案无法开启: "_s + openError;
        return false;
    }
    // The copy goes into a file made new here, for its owner only.
    const int fd = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = copyErrorText(errno, TransferDirection::Import);
        return false;
    }
    ::close(fd);
    QSqlQuery q(source.handle());
    q.exec(u"PRAGMA trusted_schema=OFF"_s);
    if (!q.prepare(u"VACUUM INTO ?"_s)) {
        *error = u"来源档案无法读取: "_s + sqlErrorText(q);
        return false;
    }
    q.addBindValue(to);
    if (!q.exec()) {
        *error = damagedSourceText(sqlErrorText(q));
        return false;
    }
    return true;
}

} // namespace

QString transferSummary(TransferDirection direction, TransferKinds kinds, const TransferCounts &counts) {
    QStringList parts;
    if (kinds.courses)
        parts << u"专家疗程 %1 个"_s.arg(counts.courses);
    if (kinds.records)
        parts << u"受测者 %1 位，检测记录 %2 笔"_s.arg(counts.subjects).arg(counts.measurements);
    return (direction == TransferDirection::Export ? u"已汇出: "_s : u"已汇入: "_s) + parts.join(u"，"_s);
}

QString storageFailureText(const QString &error, int sqliteCode, int systemCode,
                           TransferDirection direction) {
    const int primary = sqliteCode & 0xff; // the primary result code, without its detail
    // The engine keeps the system's cause of a failed read or write; it decides the text.
    const bool fileFailure = primary == SqliteIoError || primary == SqliteFull || primary == SqliteCantOpen ||
                             error.contains(u"disk is full"_s) || error.contains(u"disk I/O error"_s);
    QString text;
    if (primary == SqliteFull || error.contains(u"disk is full"_s))
        text = copyErrorText(ENOSPC, direction);
    else if (fileFailure && systemCode != 0)
        text = copyErrorText(systemCode, direction);
    else if (primary == SqliteIoError)
        text = copyErrorText(EIO, direction);
    else if (primary == SqliteReadOnly)
        text = copyErrorText(EACCES, direction);
    else
        // A failure without a code is SQLite's generic error (1), never a 0 that reads as success.
        text = errorCodeText(primary != 0 ? primary : 1, direction);
    return failureMessage(text, direction) + u"\n("_s + error + u')';
}

TransferOperations::TransferOperations(Database &main, ProgramFolder folder, const Clock &clock,
                                       FileCopier &copier, TransferObserver *observer)
    : m_main(main)
    , m_folder(std::move(folder))
    , m_clock(clock)
    , m_copier(copier)
    , m_observer(observer) {}

void TransferOperations::dropWorkingCopy() {
    dropFile(workingCopy());
}

bool TransferOperations::prepareWorkingCopy(const QString &from, TransferDirection direction,
                                            TransferOutcome &outcome) {
    dropWorkingCopy();
    // A file of ours may hold committed rows in its write-ahead log beside it: only
    // SQLite itself copies what a reader of it sees.
    if (direction == TransferDirection::Import && isSqliteFile(from)) {
        QString error;
        if (copyThroughSqlite(from, workingCopy(), &error))
            return true;
        dropWorkingCopy();
        outcome.notices.append(failure(failureMessage(namingSource(from, error), direction)));
        return false;
    }
    const int code = m_copier.copy(from, workingCopy());
    if (code == 0)
        return true;
    outcome.notices.append(failure(copyFailureMessage(code, direction)));
    return false;
}

bool TransferOperations::exportRows(TransferKinds kinds, TransferCounts &counts, QString *error,
                                    int *systemCode) {
    QStringList tables;
    if (kinds.courses)
        tables << CourseTables;
    if (kinds.records)
        tables << RecordTables;
    QSqlDatabase db = m_main.handle();
    if (SqlDialect::of(db).isServer())
        return exportServerRows(tables, counts, error, systemCode);
    qint64 total = 0;
    for (const QString &t : tables)
        total += countRows(db, u"main"_s, t);
    CopyProgress progress(m_observer, total);
    const QString schema = u"dst"_s;
    if (!attachFile(db, workingCopy(), schema, false, error)) {
        *systemCode = systemErrorOf(db);
        return false;
    }
    bool ok = true;
    {
        Transaction tx(db);
        ok = tx.isActive();
        for (const QString &t : tables) {
            if (ok) {
                const qint64 before = progress.rowsDone();
                ok = appendRowsBySql(db, u"main"_s, schema, t, copiedColumns(t), progress, error);
                counts.add(t, progress.rowsDone() - before);
            }
        }
        if (ok)
            ok = tx.commit();
        if (!ok && error && error->isEmpty())
            *error = db.lastError().text();
        if (!ok)
            *systemCode = systemErrorOf(db);
    }
    detachFile(db, schema);
    return ok && (!kinds.records || exportSideRows(error));
}

bool TransferOperations::exportSideRows(QString *error) {
    // The transfer file began empty: its measurements are those of the register, in order.
    Database copy;
    if (!copy.open(workingCopy(), Database::Access::Shared, error))
        return false;
    QSqlDatabase handle = copy.handle();
    Transaction tx(handle);
    if (carrySideRows(m_main.handle(), handle, 0, error) && tx.commit())
        return true;
    if (error && error->isEmpty())
        *error = handle.lastError().text();
    return false;
}

bool TransferOperations::exportServerRows(const QStringList &tables, TransferCounts &counts, QString *error,
                                          int *systemCode) {
    // A server cannot attach the file, so the rows travel over a connection of the file's own.
    QSqlDatabase db = m_main.handle();
    Database copy;
    auto failed = [&] {
        *systemCode = systemErrorOf(copy.handle());
        return false;
    };
    if (!copy.open(workingCopy(), Database::Access::Shared, error))
        return failed();
    const ReadSnapshot snapshot(db);
    qint64 total = 0;
    for (const QString &t : tables)
        total += countRows(db, QString(), t);
    CopyProgress progress(m_observer, total);
    Transaction tx(copy.handle());
    if (!tx.isActive()) {
        if (error)
            *error = copy.handle().lastError().text();
        return failed();
    }
    for (const QString &t : tables) {
        const qint64 before = progress.rowsDone();
        if (!appendRowsAcross(db, copy.handle(), t, copiedColumns(t), &progress, error))
            return failed();
        counts.add(t, progress.rowsDone() - before);
    }
    if (tables.contains(u"KYDATA"_s) && !carrySideRows(db, copy.handle(), 0, error))
        return false;
    if (tx.commit())
        return true;
    if (error)
        *error = copy.handle().lastError().text();
    return failed();
}

QString TransferOperations::importFailure(const RegisterImportResult &result) {
    if (result.sourceRefused)
        return failureMessage(result.error, TransferDirection::Import);
    QSqlDatabase db = m_main.handle();
    if (m_main.dialect().isServer() && !QSqlQuery(db).exec(u"SELECT 1"_s))
        return failureMessage(u"与数据库服务器 %1 的连接中断，数据未做任何变更 !!"_s.arg(m_main.path()),
                              TransferDirection::Import) +
               u"\n("_s + result.error + u')';
    return storageFailureText(result.error, result.sqliteCode, systemErrorOf(db), TransferDirection::Import);
}

TransferOutcome TransferOperations::exportTo(const QString &folder, TransferKinds kinds) {
    TransferOutcome outcome;
    TransferLock lock(m_folder);
    QString refusal;
    if (!lock.acquire(&refusal)) {
        outcome.notices.append(failure(refusal));
        return outcome;
    }
    const QString target = QDir(folder.trimmed()).filePath(dbfile::Transfer);
    const QString templateFile = m_folder.file(dbfile::Template);
    // A link, pipe or device planted at the transfer file's name is not ours to replace.
    if (const PathKind kind = linkKind(target); kind != PathKind::Absent && kind != PathKind::Regular) {
        outcome.notices.append(failure(failureMessage(
            u"%1 不是普通档案 !!"_s.arg(QDir::toNativeSeparators(target)), TransferDirection::Export)));
        return outcome;
    }
    QString error;
    if (fileExists(templateFile)) {
        if (!prepareWorkingCopy(templateFile, TransferDirection::Export, outcome))
            return outcome;
    } else {
        // A missing template is made anew rather than failing the export.
        dropWorkingCopy();
        if (!createDatabaseFile(workingCopy(), SchemaKind::Main, &error)) {
            outcome.notices.append(failure(failureMessage(error, TransferDirection::Export)));
            return outcome;
        }
    }
    TransferCounts counts;
    if (int systemCode = 0; !exportRows(kinds, counts, &error, &systemCode)) {
        dropWorkingCopy();
        outcome.notices.append(
            failure(storageFailureText(error, sqliteCodeOf(error), systemCode, TransferDirection::Export)));
        return outcome;
    }
    // Exporting into the program folder itself: the working copy is the transfer file.
    if (QFileInfo(target).absoluteFilePath() != QFileInfo(workingCopy()).absoluteFilePath()) {
        // An older transfer file goes first, so a failed export never leaves one that looks new.
        dropFile(target);
        const int code = m_copier.copy(workingCopy(), target);
        dropWorkingCopy();
        if (code != 0) {
            outcome.notices.append(failure(copyFailureMessage(code, TransferDirection::Export)));
            return outcome;
        }
    }
    if (m_observer)
        m_observer->progressed(1.0);
    outcome.ok = true;
    outcome.counts = counts;
    outcome.notices.append({std::nullopt, MessageType::NoteDone, u"资料汇出成功 !!"_s});
    return outcome;
}

TransferOutcome TransferOperations::importFrom(const QString &file, TransferKinds kinds, ImportMode mode) {
    TransferOutcome outcome;
    TransferLock lock(m_folder);
    QString refusal;
    if (!lock.acquire(&refusal)) {
        outcome.notices.append(failure(refusal));
        return outcome;
    }
    if (!checkRegularSource(file, &refusal)) {
        outcome.notices.append(failure(failureMessage(refusal, TransferDirection::Import)));
        return outcome;
    }
    // Importing from the program folder itself: the transfer file is its own working copy
    // and must not be deleted afterwards.
    const bool inPlace = sameFile(file, workingCopy());
    if (!inPlace && !prepareWorkingCopy(file, TransferDirection::Import, outcome))
        return outcome;
    auto finish = [&] {
        if (!inPlace)
            dropWorkingCopy();
    };
    QString error;
    std::unique_ptr<SourceFile> source = openSourceFile(workingCopy(), m_clock, &error);
    if (!source) {
        finish();
        outcome.notices.append(failure(failureMessage(namingSource(file, error), TransferDirection::Import)));
        return outcome;
    }
    if (mode == ImportMode::Replace) {
        outcome.backupFile = backupBeforeChange(m_main, m_folder, m_clock.now(), &error);
        if (outcome.backupFile.isEmpty()) {
            source.reset();
            finish();
            outcome.notices.append(
                failure(failureMessage(error + u"，数据未做任何变更 !!"_s, TransferDirection::Import)));
            return outcome;
        }
    }
    const RegisterImportResult result = importRegister(m_main.handle(), *source, kinds, mode, m_observer);
    source.reset();
    finish();
    if (!result.ok) {
        RegisterImportResult named = result;
        if (named.sourceRefused)
            named.error = namingSource(file, named.error);
        outcome.notices.append(failure(importFailure(named)));
        return outcome;
    }
    for (const QString &kind : result.emptyKinds)
        outcome.notices.append({AlertTone::Notice, MessageType::NoteCaution,
                                u"来源的 [%1] 数据是空的，将跳过汇入动作。"_s.arg(kind)});
    QString done = mode == ImportMode::Append ? u"数据汇入成功，数据已经附加 !!"_s
                                              : u"数据汇入成功，原有的数据已被取代 !!"_s;
    if (!outcome.backupFile.isEmpty())
        done += u"\n原有的数据已备份至 "_s + outcome.backupFile;
    outcome.ok = true;
    outcome.counts = result.counts;
    outcome.notices.append({std::nullopt, MessageType::NoteDone, done});
    return outcome;
}

} // namespace orlu
