#pragma once

#include "core/programfolder.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>

// Copies of the main database: one a day at the first start in "backups/" of
// the program folder ("orlu4-YYYYMMDD.mdb"), copies on demand, and putting a
// copy back. Every copy is a consistent snapshot made by the engine (VACUUM
// INTO, so a running program may keep writing meanwhile) and is checked
// before it takes its name; a half-made copy never carries a backup's name.
// Plain code without a window: the start-up runs it on a thread of its own,
// the command line and the import (its pre-import copies) call it directly.
namespace orlu {

class RegisterBackup {
public:
    // `database` is the main database; `folder` the backups folder (created 0700 when needed).
    RegisterBackup(QString database, QString folder);

    static QString backupFolderName() { return QStringLiteral("backups"); }
    // "orlu4-YYYYMMDD.mdb", the day's routine copy.
    static QString dailyFileName(const QDate &day);
    QString dailyPath(const QDate &day) const;
    // True when the day has no routine copy yet.
    bool dailyDue(const QDate &day) const;

    // Copies the database to `target`: a regular file or new path is replaced
    // only by a complete, checked copy (mode 0600); a pipe, a character device
    // or "-" (standard output) receives the bytes. False with the reason.
    bool copyTo(const QString &target, QString *error = nullptr) const;

    // The day's routine copy when it is due, then the old copies pruned.
    // Returns the copy made, or empty (none due, or failed: then `error` is set).
    QString makeDaily(const QDate &day, QString *error = nullptr) const;

    // Keeps the copies of the newest `daily` days and the first copy of each of
    // the newest `monthly` months; deletes the other routine copies. Copies of
    // other names (made on demand, before an import) are never touched.
    // Returns the deleted file names.
    QStringList prune(int daily = 14, int monthly = 12) const;

    // "orlu4-YYYYMMDD-HHMMSS.mdb" in the backups folder, for a copy on demand.
    QString onDemandPath(const QDateTime &now) const;

    // The checked copy made before an import or a conversion changes the register:
    // "orlu4-backup-YYYYMMDD-HHMMSS.mdb" in the backups folder (a number added when
    // the name is taken). Returns its path, or empty with `error` set; no file is left then.
    QString makeBeforeChange(const QDateTime &now, QString *error = nullptr) const;

    // Puts the copy `from` back as the database, once it passes the checks of a
    // main database. The replaced file is kept in the backups folder as
    // "orlu4-replaced-YYYYMMDD-HHMMSS.mdb" (`keptAs`). At every moment the database
    // is either the old file or the new one, whole.
    bool restore(const QString &from, const QDateTime &now, QString *keptAs = nullptr,
                 QString *error = nullptr) const;

    const QString &folder() const { return m_folder; }
    // Ends a copy in progress soon after `*stop` turns true (the copy then fails, leaving nothing).
    void setStopFlag(const std::atomic<bool> *stop) { m_stop = stop; }

private:
    bool ensureFolder(QString *error) const;

    QString m_database;
    QString m_folder;
    const std::atomic<bool> *m_stop = nullptr;
};

// The copy before a change of the main database `database` of `folder`, made by
// RegisterBackup::makeBeforeChange; returns its name within the program folder
// ("backups/orlu4-backup-....mdb") for telling the operator, or empty with `error`.
QString backupBeforeChange(const QString &database, const ProgramFolder &folder, const QDateTime &now,
                           QString *error = nullptr);

class Database;
// The same for the open register, a file or the register on a server.
QString backupBeforeChange(const Database &main, const ProgramFolder &folder, const QDateTime &now,
                           QString *error = nullptr);

// The register on a server as a register file, copied in one snapshot into a private
// temporary folder; the file lives as long as this object. Backups are made from it.
class ServerRegisterFile {
public:
    explicit ServerRegisterFile(const QSqlDatabase &server);
    bool isValid() const { return !m_path.isEmpty(); }
    const QString &path() const { return m_path; }
    const QString &error() const { return m_error; }

private:
    QTemporaryDir m_folder;
    QString m_path;
    QString m_error;
};

} // namespace orlu
