#pragma once

#include "core/programfolder.h"

#include <QLockFile>

namespace orlu {

// One program per program folder: a lock file in the folder, held while the
// program runs. A lock left by a run that crashed (its process is gone) is
// recognised and taken over.
class ProgramLock {
public:
    explicit ProgramLock(const ProgramFolder &folder);

    static QString lockFileName() { return QStringLiteral("orlu.lock"); }

    enum class Outcome {
        Acquired,
        HeldByOther, // another program runs on this folder
        Unavailable, // the folder is missing or read-only: nothing to protect
    };
    Outcome acquire();
    void release();
    bool isHeld() const;

private:
    QLockFile m_lock;
};

} // namespace orlu
