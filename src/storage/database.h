#pragma once

#include "storage/sqldialect.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <utility>

#include <atomic>
#include <functional>

struct sqlite3;

namespace orlu {

// One connection to one database file or to the register on a server. Files are
// always checked to be SQLite databases before they are opened, and are never
// created by opening.
class Database {
public:
    enum class Access {
        Shared,   // read and write; other processes may too (the main database)
        ReadOnly, // the reference texts and the supplied courses: never written
        // Read-only where not even the engine's shared-memory file can be made (a read-only
        // folder or medium); nobody can change the file meanwhile, so no locks are taken.
        Immutable,
    };

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    bool open(const QString &path, Access access, QString *error = nullptr);
    // Creates a new, empty database file (which must not exist yet) and opens it.
    bool create(const QString &path, QString *error = nullptr);
    // Connects to a server named by a "postgresql://" URI or keyword=value pairs
    // (see serverconnection.h), waiting at most ServerConnectTimeout seconds.
    bool openServer(const QString &connection, QString *error = nullptr);
    void close();

    bool isOpen() const;
    bool isReadOnly() const { return m_readOnly; }
    // The engine's error of the last failed open, for telling why.
    const QSqlError &lastError() const { return m_lastError; }
    // The file, or the server connection without its password.
    const QString &path() const { return m_path; }
    QSqlDatabase handle() const;
    QString connectionName() const { return m_name; }
    Backend backend() const { return m_backend; }
    SqlDialect dialect() const { return SqlDialect(m_backend); }

    // True when statements can run now. A server connection that was lost (the
    // server restarted, the network went away) is opened again once; false with
    // the reason when the server still cannot be reached. Every copy of handle()
    // shares the renewed connection.
    bool ensureConnected(QString *error = nullptr);

private:
    bool openConnection(const QString &path, Access access, QString *error);
    // Forgets a connection that did not open, keeping the reason; returns false.
    bool dropUnopened(QSqlDatabase &db, QString *error);

    QString m_name;
    QString m_path;
    // The open file (device and inode) while a file is open, for the process's list of them.
    std::pair<quint64, quint64> m_file{};
    Backend m_backend = Backend::Sqlite;
    bool m_readOnly = false;
    QSqlError m_lastError;
};

// Opens the main register: a server when `setting` names one, else the file at `setting`.
bool openRegister(Database &db, const QString &setting, QString *error = nullptr);

// The start of the message shown when the register's server cannot be reached.
QString serverUnreachableText();

class Prompter;
// Reaches the register again if its server connection was lost; when it still cannot be
// reached, the operator is told (MessageType::NoteError) and false is returned.
bool reachRegister(Database &db, Prompter &prompter);

// True when the path is a regular file that starts with the SQLite header
// (a pipe or device in a database's place is never opened: it could hang).
bool isSqliteFile(const QString &path);
enum class FileHead { Unreadable, NotSqlite, Sqlite };
FileHead sqliteFileHead(const QString &path);

// A transaction that rolls back unless committed.
class Transaction {
public:
    // A Writer transaction takes the right to write at its start, so what it reads
    // stays true until it commits (SQLite: BEGIN IMMEDIATE; a server locks per row).
    enum Kind { Plain, Writer };
    explicit Transaction(QSqlDatabase db, Kind kind = Plain);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    // Why the transaction could not begin (another writer's lock, a lost server).
    const QString &error() const { return m_error; }
    bool commit();

private:
    QSqlDatabase m_db;
    bool m_active = false;
    QString m_error;
};

// True when a statement failed because another program holds the database's lock
// (longer than the connection waits for it).
bool isLockedError(const QString &error);

// How long a command that writes much at once waits, in all, for another program's lock.
inline constexpr int LockPatienceMs = 120'000;

// Runs `attempt` (the statements of one whole transaction, rolled back when it fails)
// again while it fails for a lock another program holds, pausing a little longer each
// time, for up to `patienceMs` in all. Returns the last attempt's result.
bool retryWhileLocked(const std::function<bool(QString *error)> &attempt, QString *error,
                      int patienceMs = LockPatienceMs);

// Makes the connection's statements give up soon after `*stop` turns true, so
// long work on a thread of its own (a page check, a copy) can be ended when the
// program closes. `stop` must outlive the connection's use.
void stopWhen(QSqlDatabase db, const std::atomic<bool> *stop);

// The SQLite connection under a Qt connection, for the few readers that must go
// without Qt's per-value variants (a million-row export); nullptr when it is none.
sqlite3 *sqliteHandle(QSqlDatabase db);
// The system's error code (errno) of the connection's latest failed file access, 0 when
// it had none or is not a file's connection.
int systemErrorOf(QSqlDatabase db);

// Moves `from` over `to`, replacing it in one step.
bool replaceFile(const QString &from, const QString &to, QString *error = nullptr);
// Moves `from` to `to` in one step unless something is at `to` already (then false).
bool placeNewFile(const QString &from, const QString &to);

} // namespace orlu
