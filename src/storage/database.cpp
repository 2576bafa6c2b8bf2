#include "storage/database.h"

#include "platform/privatefiles.h"
#include "core/prompter.h"
#include "storage/serverconnection.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRecursiveMutex>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString nextConnectionName() {
    static QAtomicInt counter;
    return u"orlu-db-%1"_s.arg(counter.fetchAndAddRelaxed(1));
}

void setError(QString *error, const QString &text) {
    if (error)
        *error = text;
}

// The engine's locks on a file belong to the whole process, and closing any descriptor of
// that file drops them all (POSIX record locks). A header read through a descriptor of our
// own while a connection here holds the file would let another program take the file for
// unused and delete the write-ahead log holding our committed writes. So the files this
// process holds open are listed, and a file on the list is not read again: it was checked
// when it was first opened. The lock is held from the check to the listing.
using FileId = std::pair<quint64, quint64>;

QRecursiveMutex &openFilesLock() {
    static QRecursiveMutex lock;
    return lock;
}

QHash<FileId, int> &openFiles() {
    static QHash<FileId, int> files;
    return files;
}

std::optional<FileId> fileIdOf(const QString &path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileId{quint64(st.st_dev), quint64(st.st_ino)};
}

// With openFilesLock() held.
FileHead readFileHead(const QString &path) {
    if (pathKind(path) != PathKind::Regular)
        return FileHead::NotSqlite;
    if (const std::optional<FileId> id = fileIdOf(path); id && openFiles().contains(*id))
        return FileHead::Sqlite;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return FileHead::Unreadable;
    static const QByteArray header("SQLite format 3\0", 16);
    return f.read(16) == header ? FileHead::Sqlite : FileHead::NotSqlite;
}

} // namespace

FileHead sqliteFileHead(const QString &path) {
    const QMutexLocker locker(&openFilesLock());
    return readFileHead(path);
}

bool isSqliteFile(const QString &path) {
    return sqliteFileHead(path) == FileHead::Sqlite;
}

Database::Database() = default;

Database::~Database() {
    close();
}

bool Database::open(const QString &path, Access access, QString *error) {
    close();
    m_lastError = QSqlError();
    const PathKind kind = pathKind(path);
    if (kind == PathKind::Absent) {
        setError(error, u"数据库文件不存在: "_s + path);
        return false;
    }
    if (kind != PathKind::Regular) {
        setError(error, u"不是普通文件: "_s + path);
        return false;
    }
    const QMutexLocker locker(&openFilesLock());
    if (readFileHead(path) != FileHead::Sqlite) {
        setError(error, u"不是可用的数据库文件: "_s + path);
        return false;
    }
    return openConnection(path, access, error);
}

bool Database::create(const QString &path, QString *error) {
    close();
    m_lastError = QSqlError();
    if (pathKind(path) != PathKind::Absent) {
        setError(error, u"文件已存在: "_s + path);
        return false;
    }
    const QMutexLocker locker(&openFilesLock());
    return openConnection(path, Access::Shared, error);
}

bool Database::dropUnopened(QSqlDatabase &db, QString *error) {
    m_lastError = db.lastError();
    setError(error, db.lastError().text());
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
    return false;
}

bool Database::openServer(const QString &connection, QString *error) {
    close();
    const std::optional<ConnectionOptions> options = parseServerConnection(connection, error);
    if (!options)
        return false;
    if (!QSqlDatabase::isDriverAvailable(driverName(Backend::Postgres))) {
        setError(error, u"缺少数据库服务器的驱动程序 (QPSQL)。"_s);
        return false;
    }
    m_name = nextConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(driverName(Backend::Postgres), m_name);
    db.setConnectOptions(connectOptionsString(*options));
    if (!db.open())
        return dropUnopened(db, error);
    m_backend = Backend::Postgres;
    m_path = describeServerConnection(*options);
    return true;
}

bool Database::ensureConnected(QString *error) {
    if (m_name.isEmpty()) {
        setError(error, u"数据库没有打开。"_s);
        return false;
    }
    QSqlDatabase db = handle();
    if (m_backend == Backend::Sqlite)
        return db.isOpen();
    if (db.isOpen() && QSqlQuery(db).exec(u"SELECT 1"_s))
        return true;
    // A new connection starts without the old one's subscriptions to change notices.
    const QStringList subscriptions = db.driver()->subscribedToNotifications();
    db.close();
    if (db.open() && QSqlQuery(db).exec(u"SELECT 1"_s)) {
        for (const QString &name : subscriptions)
            db.driver()->subscribeToNotification(name);
        return true;
    }
    setError(error, db.lastError().text());
    return false;
}

bool openRegister(Database &db, const QString &setting, QString *error) {
    if (isServerConnection(setting))
        return db.openServer(setting, error);
    return db.open(setting, Database::Access::Shared, error);
}

QString serverUnreachableText() {
    return u"无法连接数据库服务器，本次操作没有完成。请检查服务器及网络后再试一次。"_s;
}

bool reachRegister(Database &db, Prompter &prompter) {
    QString error;
    if (db.ensureConnected(&error))
        return true;
    prompter.showMessageBox(MessageType::NoteError, serverUnreachableText() + u"\n"_s + error);
    return false;
}

bool Database::openConnection(const QString &path, Access access, QString *error) {
    const bool readOnly = access != Access::Shared;
    m_name = nextConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
    db.setDatabaseName(access == Access::Immutable ? QUrl::fromLocalFile(path).toString() + u"?immutable=1"_s
                                                   : path);
    // A second program on this machine may hold the file; wait for its locks instead of failing.
    // URI names let an import attach its source read-only.
    QString options = u"QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_URI"_s;
    if (readOnly)
        options += u";QSQLITE_OPEN_READONLY"_s;
    if (access == Access::Immutable)
        options += u";QSQLITE_OPEN_URI"_s;
    db.setConnectOptions(options);
    if (!db.open())
        return dropUnopened(db, error);
    m_path = path;
    m_readOnly = readOnly;
    if (const std::optional<FileId> id = fileIdOf(path)) {
        m_file = *id;
        ++openFiles()[m_file];
    }
    QSqlQuery q(db);
    if (!readOnly) {
        // Personal data: the file and the log companions the engine makes with its mode stay private.
        for (const QString &file : QStringList{path, path + u"-wal"_s, path + u"-shm"_s}) {
            if (pathKind(file) == PathKind::Regular)
                makePrivate(file);
        }
        // A stored measurement must survive a power loss.
        q.exec(u"PRAGMA journal_mode=WAL"_s);
        q.exec(u"PRAGMA synchronous=FULL"_s);
    }
    // Reading the schema proves the file is a usable database, not just one with the right header.
    if (!q.exec(u"SELECT count(*) FROM sqlite_master"_s)) {
        m_lastError = q.lastError();
        setError(error, q.lastError().text());
        q = QSqlQuery();
        db = QSqlDatabase();
        close();
        return false;
    }
    return true;
}

void Database::close() {
    if (m_name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (m_backend == Backend::Sqlite && db.isOpen() && !db.connectOptions().contains(u"READONLY"_s)) {
            // Fold the write-ahead log back so the file is whole on its own.
            QSqlQuery(db).exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    if (m_file != FileId{}) {
        const QMutexLocker locker(&openFilesLock());
        if (--openFiles()[m_file] <= 0)
            openFiles().remove(m_file);
        m_file = {};
    }
    m_name.clear();
    m_path.clear();
    m_backend = Backend::Sqlite;
    m_readOnly = false;
}

bool Database::isOpen() const {
    return !m_name.isEmpty() && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Database::handle() const {
    return QSqlDatabase::database(m_name, false);
}

Transaction::Transaction(QSqlDatabase db, Kind kind)
    : m_db(std::move(db)) {
    if (kind == Writer && SqlDialect::of(m_db).backend() == Backend::Sqlite) {
        QSqlQuery begin(m_db);
        m_active = begin.exec(u"BEGIN IMMEDIATE"_s);
        if (!m_active)
            m_error = begin.lastError().text();
    } else {
        m_active = m_db.transaction();
        if (!m_active)
            m_error = m_db.lastError().text();
    }
}

Transaction::~Transaction() {
    if (m_active)
        m_db.rollback();
}

bool Transaction::commit() {
    if (!m_active)
        return false;
    m_active = false;
    return m_db.commit();
}

sqlite3 *sqliteHandle(QSqlDatabase db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool isLockedError(const QString &error) {
    return error.contains(u"database is locked"_s) || error.contains(u"database table is locked"_s);
}

bool retryWhileLocked(const std::function<bool(QString *error)> &attempt, QString *error, int patienceMs) {
    QElapsedTimer waited;
    waited.start();
    for (unsigned long pause = 50;; pause = std::min<unsigned long>(pause * 2, 2000)) {
        QString why;
        if (attempt(&why))
            return true;
        if (!isLockedError(why) || waited.elapsed() + qint64(pause) > patienceMs) {
            setError(error, why);
            return false;
        }
        QThread::msleep(pause);
    }
}

int systemErrorOf(QSqlDatabase db) {
    sqlite3 *connection = sqliteHandle(db);
    return connection ? sqlite3_system_errno(connection) : 0;
}

void stopWhen(QSqlDatabase db, const std::atomic<bool> *stop) {
    sqlite3 *connection = sqliteHandle(db);
    if (!connection)
        return;
    // Asked every few thousand engine steps; a true answer ends the statement.
    sqlite3_progress_handler(
        connection, 4000,
        [](void *flag) { return static_cast<const std::atomic<bool> *>(flag)->load() ? 1 : 0; },
        const_cast<std::atomic<bool> *>(stop));
}

bool placeNewFile(const QString &from, const QString &to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a second link fails as well when the name is taken.
    return ::link(source.constData(), target.constData()) == 0 && ::unlink(source.constData()) == 0;
}

bool replaceFile(const QString &from, const QString &to, QString *error) {
    // rename(2) replaces the target atomically.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        setError(error, u"无法替换文件: "_s + to);
        return false;
    }
    return true;
}

} // namespace orlu
