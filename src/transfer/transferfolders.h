#pragma once

#include <QString>
#include <QStringList>

// Where transfer files are looked for and written on this system.
namespace orlu {

// The places the import/export window's drive box offers: the file system's root, the
// home folder and the media mounted under /media and /run/media (in that order, each
// once); `mountPoints` are the system's mounted volumes.
QStringList transferFolderChoices(const QString &home, const QStringList &mountPoints);
// The same for this system now.
QStringList transferFolderChoices();

// The transfer file in `folder`: "KyTran.mdb", also when a medium written on another
// system spells it in other letter case; empty when there is none.
QString transferFileIn(const QString &folder);

} // namespace orlu
