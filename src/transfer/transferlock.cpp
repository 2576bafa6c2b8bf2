#include "transfer/transferlock.h"

#include "platform/programlock.h"

namespace orlu {

using namespace Qt::StringLiterals;

TransferLock::TransferLock(const ProgramFolder &folder)
    : m_lock(folder.file(lockFileName())) {
    // Only a live process holds the lock, however long its transfer runs.
    m_lock.setStaleLockTime(0);
}

bool TransferLock::acquire(QString *refusal) {
    if (m_lock.tryLock(0))
        return true;
    if (!refusal)
        return false;
    if (m_lock.error() != QLockFile::LockFailedError) {
        *refusal = u"无法在系统工作目录建立锁定档 %1 !!"_s.arg(lockFileName());
        return false;
    }
    const LockHolder holder = holderOf(m_lock);
    const QString who = holder.program.isEmpty()
                            ? u"无法确定是哪一个程序"_s
                            : u"由 %1 执行，进程 %2"_s.arg(holder.program).arg(holder.pid);
    *refusal = u"另一个汇入/汇出作业正在进行中 (%1)，请等它结束后再试一次。"_s.arg(who);
    return false;
}

} // namespace orlu
