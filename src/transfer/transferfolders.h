#pragma once

#include <QString>
#include <QStringList>

// Where transfer files are looked for and written on this system.
namespace orlu {

// The places the import/export window's drive box offers, the first one shown at the
// start: the home folder, then the media a user mounts (volumes mounted below /media,
// /run/media or /mnt, in name order), then the file system's root, so every folder can
// be reached; each once. `mountPoints` are the system's mounted volumes.
QStringList transferFolderChoices(const QString &home, const QStringList &mountPoints);
// The same for this system now.
QStringList transferFolderChoices();

// The transfer file in `folder`: "KyTran.mdb", also when a medium written on another
// system spells it in other letter case; empty when there is none.
QString transferFileIn(const QString &folder);

} // namespace orlu
