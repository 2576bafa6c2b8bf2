#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Where transfer files are looked for and written on this system.
namespace orlu {

// A mounted volume: where it is mounted and the device it comes from ("/dev/sdb1").
struct MountedVolume {
    QString rootPath;
    QString device;
};

// The places the import/export window's drive box offers, the first one shown at the
// start: the home folder, then the media a user mounts (volumes of a device in /dev
// mounted below /media, /run/media or /mnt, in name order), then the file system's
// root, so every folder can be reached; each once.
QStringList transferFolderChoices(const QString &home, const QList<MountedVolume> &volumes);
// The same for this system now.
QStringList transferFolderChoices();

// The transfer file in `folder`: "KyTran.mdb", also when a medium written on another
// system spells it in other letter case; empty when there is none.
QString transferFileIn(const QString &folder);

} // namespace orlu
