#pragma once

#include <QLockFile>

namespace orlu {

// Who holds a lock file: the holder's program name and process id.
struct LockHolder {
    QString program;
    qint64 pid = 0;
};
// Empty program when the lock file does not say.
LockHolder holderOf(const QLockFile &lock);

// Why a command cannot work on `folder` while `holder` holds its lock: another run of
// this same tool ("another orlu-cli (process 42) is working on ...") or the program.
QString heldByText(const LockHolder &holder, const QString &folder);

// One program per program folder: a lock file in the folder, held while the
// program runs. A lock left by a run that crashed (its process is gone) is
// recognised and taken over.
class ProgramLock {
public:
    // `folder`: the program folder, whose lock file this is.
    explicit ProgramLock(const QString &folder);

    static QString lockFileName() { return QStringLiteral("orlu.lock"); }

    enum class Outcome {
        Acquired,
        HeldByOther, // another program runs on this folder
        Unavailable, // the folder is missing or read-only: nothing to protect
    };
    Outcome acquire();
    void release();
    bool isHeld() const;
    // After HeldByOther: who holds the lock.
    LockHolder holder() const { return holderOf(m_lock); }

private:
    QLockFile m_lock;
};

} // namespace orlu
