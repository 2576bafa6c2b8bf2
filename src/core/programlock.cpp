#include "core/programlock.h"

namespace orlu {

LockHolder holderOf(const QLockFile &lock) {
    LockHolder holder;
    QString host;
    if (!lock.getLockInfo(&holder.pid, &host, &holder.program))
        return {};
    return holder;
}

ProgramLock::ProgramLock(const ProgramFolder &folder)
    : m_lock(folder.file(lockFileName())) {
    // Only a live process holds the lock, however long it has run.
    m_lock.setStaleLockTime(0);
}

ProgramLock::Outcome ProgramLock::acquire() {
    if (m_lock.tryLock(0))
        return Outcome::Acquired;
    return m_lock.error() == QLockFile::LockFailedError ? Outcome::HeldByOther : Outcome::Unavailable;
}

void ProgramLock::release() {
    m_lock.unlock();
}

bool ProgramLock::isHeld() const {
    return m_lock.isLocked();
}

} // namespace orlu
