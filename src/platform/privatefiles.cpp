#include "platform/privatefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

namespace orlu {

PathKind pathKind(const QString &path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        struct stat link {};
        return ::lstat(QFile::encodeName(path).constData(), &link) == 0 ? PathKind::Other : PathKind::Absent;
    }
    if (S_ISREG(st.st_mode))
        return PathKind::Regular;
    if (S_ISFIFO(st.st_mode))
        return PathKind::Fifo;
    if (S_ISCHR(st.st_mode))
        return PathKind::CharDevice;
    if (S_ISDIR(st.st_mode))
        return PathKind::Directory;
    return PathKind::Other;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? PathKind::Other : PathKind::Absent;
    return info.isFile() ? PathKind::Regular : info.isDir() ? PathKind::Directory : PathKind::Other;
#endif
}

PathKind linkKind(const QString &path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode))
        return PathKind::Other;
#endif
    return pathKind(path);
}

bool makePrivate(const QString &path) {
    QFile f(path);
    const QFileDevice::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const QFileDevice::Permissions now = f.permissions();
    const QFileDevice::Permissions wanted = now & owner;
    return now == wanted || f.setPermissions(wanted);
}

bool createPrivateFolder(const QString &path) {
    const QString clean = QDir::cleanPath(path);
    if (QFileInfo(clean).isDir())
        return true;
    const QString parent = QFileInfo(clean).absolutePath();
    if (!QDir().mkpath(parent))
        return false;
    return QDir().mkdir(clean, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

bool isReadOnlyFolder(const QString &path) {
    const QFileInfo info(path);
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!info.isDir() || !(info.permissions() & writeBits))
        return true;
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    struct statvfs fs {};
    if (::statvfs(native.constData(), &fs) == 0 && (fs.f_flag & ST_RDONLY))
        return true;
    return ::access(native.constData(), W_OK | X_OK) != 0;
#else
    return !info.isWritable();
#endif
}

} // namespace orlu
