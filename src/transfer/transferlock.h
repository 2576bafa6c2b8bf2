#pragma once

#include "core/programfolder.h"

#include <QLockFile>
#include <QString>

namespace orlu {

// One transfer at a time per program folder: every import and export works on the
// same working copy "KyTran.mdb" there, so each holds this lock for its whole run,
// whichever program runs it. A lock left by a process that is gone is taken over.
class TransferLock {
public:
    explicit TransferLock(const ProgramFolder &folder);

    static QString lockFileName() { return QStringLiteral("KyTran.lock"); }

    // True when taken; otherwise false with the operator's message naming the holder.
    bool acquire(QString *refusal);

private:
    QLockFile m_lock;
};

} // namespace orlu
