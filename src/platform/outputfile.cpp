#include "platform/outputfile.h"

#include "private/bulkfilewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <functional>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

void setError(QString *error, const QString &text) {
    if (error)
        *error = text;
}

QString systemText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

QString randomTag() {
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(letters[QRandomGenerator::system()->bounded(int(sizeof letters) - 1)]);
    return tag;
}

bool syncFolder(const QByteArray &folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// Removes `path` when it is a file or work folder of ours that no writer holds locked.
bool removeWhenStale(const QString &path) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool removed = false;
    if (::fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        struct stat now {};
        // Still the entry that was checked (not swapped for another meanwhile).
        if (::lstat(native.constData(), &now) == 0 && now.st_ino == st.st_ino && now.st_dev == st.st_dev)
            removed =
                S_ISDIR(st.st_mode) ? QDir(path).removeRecursively() : ::unlink(native.constData()) == 0;
    }
    ::close(fd);
    return removed;
}

// Whether the open entry is still the one at `path`: a temporary is not locked at the instant
// it is made, and another program's clean-up may have removed it as stale just then.
bool stillNamed(int fd, const QByteArray &path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.constData(), &named) == 0 && open.st_ino == named.st_ino &&
           open.st_dev == named.st_dev;
}

int removeStale(const QDir &folder, const std::function<bool(const QString &)> &isOurs) {
    int removed = 0;
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (isOurs(entry) && removeWhenStale(folder.filePath(entry)))
            ++removed;
    }
    return removed;
}

// ".NAME.XXXXXX.part" after the name.
const QString TemporaryTag = u"\\.[A-Za-z0-9]{6}\\.part$"_s;

} // namespace

int removeStaleTemporaries(const QString &finalPath) {
    const QFileInfo info(finalPath);
    const QString name = info.fileName();
    const QRegularExpression ours(u"^\\."_s + QRegularExpression::escape(name) + TemporaryTag);
    return removeStale(info.absoluteDir(), [&](const QString &entry) {
        return entry == name + u".part"_s || ours.match(entry).hasMatch();
    });
}

int removeStaleTemporariesIn(const QString &folder) {
    const QRegularExpression ours(u"^\\..+"_s + TemporaryTag);
    return removeStale(QDir(folder), [&](const QString &entry) {
        return entry.endsWith(u".part"_s) || entry.endsWith(u".part-journal"_s) ||
               ours.match(entry).hasMatch();
    });
}

WorkFolder::WorkFolder(const QString &finalPath) {
    const QFileInfo info(finalPath);
    removeStaleTemporaries(finalPath);
    const QString prefix = info.absoluteDir().filePath(u"."_s + info.fileName() + u"."_s);
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const QString path = prefix + randomTag() + u".part"_s;
        const QByteArray native = QFile::encodeName(path);
        if (::mkdir(native.constData(), 0700) != 0) {
            const int code = errno;
            if (code == EEXIST)
                continue;
            m_error = path + u": "_s + systemText(code);
            return;
        }
        // Until it is locked, another program's clean-up may take the new folder for a stale one
        // and remove it: then it is not ours, and another name is tried.
        m_fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (m_fd < 0 && errno == ENOENT)
            continue;
        if (m_fd < 0 || ::fchmod(m_fd, 0700) != 0 || ::flock(m_fd, LOCK_EX) != 0) {
            const int code = errno;
            m_error = path + u": "_s + systemText(code);
            m_path = path; // removed again when this ends
            if (m_fd >= 0)
                ::close(m_fd);
            m_fd = -1;
            return;
        }
        if (!stillNamed(m_fd, native)) {
            ::close(m_fd);
            m_fd = -1;
            continue;
        }
        m_path = path;
    }
    if (m_fd < 0 && m_error.isEmpty())
        m_error = finalPath + u": no free temporary name"_s;
}

WorkFolder::~WorkFolder() {
    if (!m_path.isEmpty())
        QDir(m_path).removeRecursively();
    if (m_fd >= 0)
        ::close(m_fd);
}

namespace {

// 0 when `path` may receive a file, else the system's error code with the reason.
int refusal(const QString &path, QString *why) {
    if (path == u"-"_s)
        return 0;
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        const int code = errno;
        if (code == ENOENT)
            return 0;
        *why = path + u": "_s + systemText(code);
        return code;
    }
    if (S_ISLNK(st.st_mode)) {
        // A link to a pipe or device (/dev/stdout) is written in place; to anything else, never.
        if (::stat(native.constData(), &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
            *why = path + u" is a symbolic link; it is not written through"_s;
            return ELOOP;
        }
    }
    if (S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))
        return 0;
    if (S_ISDIR(st.st_mode)) {
        *why = path + u" is a folder"_s;
        return EISDIR;
    }
    *why = path + u" is neither a regular file nor a pipe or character device"_s;
    return EINVAL;
}

} // namespace

bool isWritableOutputPath(const QString &path, QString *error) {
    QString why;
    if (refusal(path, &why) == 0)
        return true;
    setError(error, why);
    return false;
}

OutputFile::OutputFile(QString path, Volume volume)
    : m_path(std::move(path))
    , m_volume(volume) {}

OutputFile::~OutputFile() {
    cancel();
}

bool OutputFile::fail(int code, const QString &text, QString *error) {
    m_errorCode = code;
    setError(error, text);
    return false;
}

bool OutputFile::open(QString *error) {
    cancel();
    m_errorCode = 0;
    if (m_path == u"-"_s) {
        m_fd = STDOUT_FILENO;
        m_device = std::make_unique<UnbufferedFileWriter>(m_fd);
        return true;
    }
    QString why;
    if (const int code = refusal(m_path, &why); code != 0)
        return fail(code, why, error);
    struct stat st {};
    const bool exists = ::stat(QFile::encodeName(m_path).constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return openInPlace(error);
    m_keepMode = exists ? int(st.st_mode & 07777) : -1;
    return openTemporary(error);
}

bool OutputFile::openInPlace(QString *error) {
    // O_NOFOLLOW unless the name is the link to a pipe or device the checks allowed.
    const QByteArray native = QFile::encodeName(m_path);
    struct stat link {};
    const bool isLink = ::lstat(native.constData(), &link) == 0 && S_ISLNK(link.st_mode);
    m_fd = ::open(native.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (isLink ? 0 : O_NOFOLLOW));
    if (m_fd < 0) {
        const int code = errno;
        return fail(code, m_path + u": "_s + systemText(code), error);
    }
    m_ownsFd = true;
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
        cancel();
        return fail(EINVAL, m_path + u" changed while it was opened"_s, error);
    }
    m_device = std::make_unique<UnbufferedFileWriter>(m_fd);
    return true;
}

bool OutputFile::openTemporary(QString *error) {
    const QFileInfo info(m_path);
    removeStaleTemporaries(m_path);
    const QString prefix = info.absoluteDir().filePath(u"."_s + info.fileName() + u"."_s);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray temp = QFile::encodeName(prefix + randomTag() + u".part"_s);
        const int fd = ::open(temp.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            const int code = errno;
            return fail(code, m_path + u": "_s + systemText(code), error);
        }
        m_fd = fd;
        m_ownsFd = true;
        m_temp = temp;
        // The umask may have taken bits away; 0600 is what a new file gets. The lock
        // tells a later run that this temporary is still being written.
        if (::fchmod(fd, 0600) != 0 || ::flock(fd, LOCK_EX) != 0) {
            const int code = errno;
            cancel();
            return fail(code, m_path + u": "_s + systemText(code), error);
        }
        if (!stillNamed(fd, temp)) {
            ::close(fd);
            m_fd = -1;
            m_ownsFd = false;
            m_temp.clear();
            continue;
        }
        if (m_volume == Volume::Bulk)
            m_device = std::make_unique<BulkFileWriter>(m_fd);
        else
            m_device = std::make_unique<UnbufferedFileWriter>(m_fd);
        return true;
    }
    return fail(EEXIST, m_path + u": no free temporary name"_s, error);
}

QIODevice &OutputFile::device() {
    Q_ASSERT(m_device);
    return *m_device;
}

bool OutputFile::commit(QString *error) {
    if (!m_device)
        return fail(EBADF, m_path + u" is not open"_s, error);
    auto &device = static_cast<UnbufferedFileWriter &>(*m_device);
    if (!device.finish()) {
        const int code = device.lastErrorCode();
        cancel();
        return fail(code, m_path + u": "_s + systemText(code), error);
    }
    if (m_temp.isEmpty()) {
        cancel(); // written in place: what was written stays
        return true;
    }
    const mode_t mode = m_keepMode >= 0 ? mode_t(m_keepMode) : 0600;
    if (::fsync(m_fd) != 0 || ::fchmod(m_fd, mode) != 0 ||
        ::rename(m_temp.constData(), QFile::encodeName(m_path).constData()) != 0) {
        const int code = errno;
        cancel();
        return fail(code, m_path + u": "_s + systemText(code), error);
    }
    m_temp.clear();
    const int closed = ::close(m_fd);
    const int code = errno;
    m_fd = -1;
    m_ownsFd = false;
    m_device.reset();
    if (closed != 0)
        return fail(code, m_path + u": "_s + systemText(code), error);
    syncFolder(QFile::encodeName(QFileInfo(m_path).absolutePath()));
    return true;
}

void OutputFile::cancel() {
    m_device.reset();
    if (!m_temp.isEmpty())
        ::unlink(m_temp.constData());
    m_temp.clear();
    if (m_ownsFd && m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_ownsFd = false;
}

bool writeOutputFile(const QString &path, const QByteArray &data, QString *error) {
    OutputFile file(path);
    if (!file.open(error))
        return false;
    file.device().write(data); // a failed write is reported by commit()
    return file.commit(error);
}

} // namespace orlu
