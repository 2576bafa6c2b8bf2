#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <memory>

namespace orlu {

// Writes what the program produces to the path the operator named:
//   "-"                      standard output;
//   a FIFO or a character device (a pipe, /dev/null, a terminal): written in place;
//   a regular file or a new path: a new temporary in the same folder, created
//     exclusively (never through an existing name or link) with mode 0600, is renamed
//     into place once complete, so a crash never leaves half a file. A new file is
//     0600 whatever the umask; an existing file keeps its mode;
//   anything else (a folder, a symbolic link to a file, a socket): refused.
// A special file is never replaced by a regular one, and a link is never followed
// into another file.
bool writeOutputFile(const QString &path, const QByteArray &data, QString *error = nullptr);

// True when `path` may receive a file by writeOutputFile's rules.
bool isWritableOutputPath(const QString &path, QString *error = nullptr);

// writeOutputFile's rules for output too large to hold in memory: open, write to
// device() (or handle()) as the data comes, then commit(). A regular file appears only
// at commit(); cancel() (or destroying an uncommitted OutputFile) leaves no file and an
// existing one as it was. Written in place (pipes, devices, "-"), what was written stays.
//
// A temporary is named ".NAME.XXXXXX.part" and locked while it is written; opening
// removes the unlocked ones of the same NAME that a killed run left behind.
class OutputFile {
public:
    // Bulk: gigabytes written once, which a regular file takes past the page cache
    // where the file system allows it; handle() is then not to be written to.
    enum class Volume { Normal, Bulk };
    explicit OutputFile(QString path, Volume volume = Volume::Normal);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    bool open(QString *error = nullptr);
    QIODevice &device();
    // The descriptor written to, for writing without the device's buffer.
    int handle() const { return m_fd; }
    bool commit(QString *error = nullptr);
    void cancel();
    // The system's error code of the last failure (ENOSPC, ELOOP, ...), 0 when none.
    int errorCode() const { return m_errorCode; }

private:
    bool fail(int code, const QString &text, QString *error);
    bool openInPlace(QString *error);
    bool openTemporary(QString *error);

    QString m_path;
    Volume m_volume;
    QByteArray m_temp; // the temporary's path while a regular file is written
    int m_fd = -1;
    bool m_ownsFd = false;
    int m_keepMode = -1; // the replaced file's mode, -1 for a new file
    int m_errorCode = 0;
    std::unique_ptr<QIODevice> m_device;
};

// A private folder (0700) beside `finalPath` for work that makes files of its own (an
// engine's copy with its journal), named and locked like OutputFile's temporaries and
// removed with everything in it when destroyed. What is made in it is moved out with
// rename(2) onto its final name.
class WorkFolder {
public:
    explicit WorkFolder(const QString &finalPath);
    ~WorkFolder();
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    bool isValid() const { return m_fd >= 0; }
    const QString &error() const { return m_error; }
    QString filePath(const QString &name) const { return m_path + u'/' + name; }

private:
    QString m_path;
    QString m_error;
    int m_fd = -1;
};

// Removes temporaries of `finalPath` left by killed writers: ".NAME.XXXXXX.part" (a file
// or a work folder) and the older "NAME.part", when this user's (never through a link)
// and held by no running writer. Returns how many were removed.
int removeStaleTemporaries(const QString &finalPath);
// The same for every name in `folder`, and the older "*.part-journal" files too.
int removeStaleTemporariesIn(const QString &folder);

} // namespace orlu
