#include "records/databasefiles.h"

#include <QFile>
#include <QFileInfo>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {
const QStringList Companions{u"-wal"_s, u"-shm"_s, u"-journal"_s};
}

bool fileExists(const QString &path) {
    return QFileInfo(path).isFile();
}

bool renameDatabaseFile(const QString &from, const QString &to) {
    if (!fileExists(from) || QFileInfo::exists(to))
        return false;
    for (const QString &c : Companions) {
        if (QFileInfo::exists(to + c))
            return false;
    }
    if (!QFile::rename(from, to))
        return false;
    for (const QString &c : Companions) {
        if (QFileInfo::exists(from + c))
            QFile::rename(from + c, to + c);
    }
    return true;
}

bool copyDatabaseFile(const QString &from, const QString &to) {
    if (!fileExists(from))
        return false;
    const QString temp = to + u".copy"_s;
    QFile::remove(temp);
    if (!QFile::copy(from, temp))
        return false;
    QFile(temp).setPermissions(QFile(temp).permissions() | QFileDevice::WriteOwner);
    for (const QString &c : Companions)
        QFile::remove(to + c);
    QFile::remove(to);
    return QFile::rename(temp, to);
}

bool deleteDatabaseFile(const QString &path) {
    for (const QString &c : Companions)
        QFile::remove(path + c);
    return QFile::remove(path);
}

bool isReadOnlyFile(const QString &path) {
    const QFileInfo info(path);
    return info.exists() && !info.isWritable();
}

bool clearReadOnly(const QString &path) {
    QFile f(path);
    return f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
}

void upgradeDatabaseFiles(const ProgramFolder &folder) {
    const QString update = folder.file(dbfile::Update);
    const QString main = folder.file(dbfile::Main);
    const QString legacy = folder.file(dbfile::Legacy);

    if (fileExists(update) && fileExists(main)) {
        // Each rename fails rather than overwrite, so an unconverted legacy file stops both.
        if (renameDatabaseFile(main, legacy))
            renameDatabaseFile(update, main);
    }
    if (fileExists(update) && fileExists(legacy))
        deleteDatabaseFile(update);
    if (!fileExists(main)) {
        copyDatabaseFile(folder.file(dbfile::Template), main);
        if (fileExists(update))
            deleteDatabaseFile(update);
    }
}

} // namespace orlu
