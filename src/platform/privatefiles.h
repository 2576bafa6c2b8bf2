#pragma once

#include <QString>

// The register is personal data: the program folder and the files that hold
// subjects and measurements are readable by their owner only.
namespace orlu {

// What a path names, following symbolic links (a dangling link counts as Other).
enum class PathKind { Absent, Regular, Fifo, CharDevice, Directory, Other };
PathKind pathKind(const QString &path);
// What the name itself is: a symbolic link counts as Other, whatever it points to.
PathKind linkKind(const QString &path);

// Leaves only the owner's read and write bits of the file's mode, so a file
// made from a world-readable template becomes 0600 and a stricter mode (0400)
// stays as it is. False when the mode cannot be changed.
bool makePrivate(const QString &path);

// Creates a missing folder (with its parents) and gives the folder itself mode
// 0700. An existing folder is left as it is. False when it cannot be created.
bool createPrivateFolder(const QString &path);

// True when files cannot be created in the folder: no write bit in its mode
// (the administrator's account may write anything, yet a folder marked
// read-only should stay as it is), a read-only file system, or no access.
bool isReadOnlyFolder(const QString &path);

} // namespace orlu
