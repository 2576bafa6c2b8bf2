#pragma once

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <memory>

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

// writeOutputFile's rules for output too large to hold in memory: open, write to
// device() as the data comes, then commit(). A regular file appears only at commit();
// cancel() (or destroying an uncommitted OutputFile) leaves no file and an existing
// one as it was. Written in place (pipes, devices, "-"), what was written stays.
class OutputFile {
public:
    OutputFile(QString path, bool privateFile = false);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    bool open(QString *error = nullptr);
    QIODevice &device();
    bool commit(QString *error = nullptr);
    void cancel();

private:
    QString m_path;
    bool m_private;
    std::unique_ptr<QFile> m_direct;
    std::unique_ptr<QSaveFile> m_atomic;
};

} // namespace orlu
