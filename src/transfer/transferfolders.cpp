#include "transfer/transferfolders.h"

#include "storage/databasefiles.h"

#include <QDir>
#include <QStorageInfo>

namespace orlu {

using namespace Qt::StringLiterals;

QStringList transferFolderChoices(const QString &home, const QList<MountedVolume> &volumes) {
    const QString root = u"/"_s;
    QStringList media;
    for (const MountedVolume &v : volumes) {
        const QString path = QDir::cleanPath(v.rootPath);
        const bool userMounted =
            path.startsWith(u"/media/"_s) || path.startsWith(u"/run/media/"_s) || path.startsWith(u"/mnt/"_s);
        if (userMounted && v.device.startsWith(u"/dev/"_s) && path != home && !media.contains(path))
            media << path;
    }
    media.sort();
    QStringList choices;
    if (!home.isEmpty() && home != root)
        choices << home;
    return choices + media + QStringList{root};
}

QStringList transferFolderChoices() {
    QList<MountedVolume> volumes;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        volumes.append({volume.rootPath(), QString::fromLocal8Bit(volume.device())});
    return transferFolderChoices(QDir::homePath(), volumes);
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
