#include "transfer/transferfolders.h"

#include "storage/databasefiles.h"

#include <QDir>
#include <QStorageInfo>

namespace orlu {

using namespace Qt::StringLiterals;

QStringList transferFolderChoices(const QString &home, const QStringList &mountPoints) {
    QStringList choices{u"/"_s};
    if (!home.isEmpty() && !choices.contains(home))
        choices << home;
    QStringList media;
    for (const QString &m : mountPoints) {
        if ((m.startsWith(u"/media/"_s) || m.startsWith(u"/run/media/"_s)) && !media.contains(m))
            media << m;
    }
    media.sort();
    return choices + media;
}

QStringList transferFolderChoices() {
    QStringList mounts;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        mounts << volume.rootPath();
    return transferFolderChoices(QDir::homePath(), mounts);
}

QString transferFileIn(const QString &folder) {
    const QDir dir(folder);
    const QString exact = dir.filePath(dbfile::Transfer);
    if (fileExists(exact))
        return exact;
    const QStringList found = dir.entryList({dbfile::Transfer}, QDir::Files | QDir::Readable);
    return found.isEmpty() ? QString() : dir.filePath(found.first());
}

} // namespace orlu
