#pragma once

#include <QByteArray>
#include <QString>

namespace orlu {

// Writes what a command produces to the path the operator named:
//   "-"                      standard output;
//   a FIFO or a character device (a pipe, /dev/null, a terminal): written in place;
//   a regular file or a new path: replaced atomically, so a crash never leaves half a file;
//   anything else (a folder, a socket): refused.
// A special file is never replaced by a regular one. `privateFile` gives a new
// or replaced file mode 0600 (personal data: exports, backups).
bool writeOutputFile(const QString &path, const QByteArray &data, QString *error = nullptr,
                     bool privateFile = false);

// True when `path` may receive a file by writeOutputFile's rules.
bool isWritableOutputPath(const QString &path, QString *error = nullptr);

} // namespace orlu
