#include "platform/programlock.h"

#include <QCoreApplication>
#include <QDir>

namespace orlu {

using namespace Qt::StringLiterals;

LockHolder holderOf(const QLockFile &lock) {
    LockHolder holder;
    QString host;
    if (!lock.getLockInfo(&holder.pid, &host, &holder.program))
        return {};
    return holder;
}

QString heldByText(const LockHolder &holder, const QString &folder) {
    if (holder.program.isEmpty())
        return u"the program is running on %1; close it first"_s.arg(folder);
    if (holder.program == QCoreApplication::applicationName())
        return u"another %1 (process %2) is working on %3; try again when it has finished"_s
            .arg(holder.program)
            .arg(holder.pid)
            .arg(folder);
    return u"the program (%1, process %2) is running on %3; close it first"_s.arg(holder.program)
        .arg(holder.pid)
        .arg(folder);
}

ProgramLock::ProgramLock(const QString &folder)
    : m_lock(QDir(folder).filePath(lockFileName())) {
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
