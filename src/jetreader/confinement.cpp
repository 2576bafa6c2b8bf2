#include "jetreader/confinement.h"

#include <seccomp.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define ORLU_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORLU_ADDRESS_SANITIZER 1
#endif
#endif

namespace orlu {

namespace {

// Memory enough for the largest register file, its bound columns and a picture.
constexpr rlim_t AddressSpace = rlim_t(1) << 30;

bool limit(int resource, rlim_t soft, rlim_t hard, const char *name, std::string *why) {
    const rlimit value{soft, hard};
    if (::setrlimit(resource, &value) == 0)
        return true;
    *why = std::string(name) + ": " + std::strerror(errno);
    return false;
}

bool allowedCalls(scmp_filter_ctx filter, int channelFd) {
    // Reading the file (libmdb opens it again through /proc), the memory of the reading
    // (none that runs code), and leaving; found by tracing the reading of sample files.
    for (int call :
         {SCMP_SYS(read), SCMP_SYS(pread64), SCMP_SYS(lseek), SCMP_SYS(fstat), SCMP_SYS(newfstatat),
          SCMP_SYS(close), SCMP_SYS(brk), SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(madvise),
          SCMP_SYS(futex), SCMP_SYS(rt_sigreturn), SCMP_SYS(exit), SCMP_SYS(exit_group)}) {
        if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) != 0)
            return false;
    }
    if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(mmap), 1,
                         SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)) != 0)
        return false;
    // Where glib gives up (memory exhausted) it logs, looking whether standard error is a
    // terminal or the journal, and ends this process with SIGTRAP or SIGABRT: it may, and
    // only so, for the reader's end to tell a crash.
    for (int call : {SCMP_SYS(getpid), SCMP_SYS(gettid), SCMP_SYS(rt_sigprocmask), SCMP_SYS(getpeername)}) {
        if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) != 0)
            return false;
    }
    if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(ioctl), 1,
                         SCMP_A1(SCMP_CMP_EQ, scmp_datum_t(TCGETS))) != 0)
        return false;
    for (int signal : {SIGABRT, SIGTRAP}) {
        if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 2,
                             SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(::getpid())),
                             SCMP_A2(SCMP_CMP_EQ, scmp_datum_t(signal))) != 0)
            return false;
    }
    const scmp_datum_t writing = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND | O_TMPFILE;
    if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(openat), 1,
                         SCMP_A2(SCMP_CMP_MASKED_EQ, writing, 0)) != 0)
        return false;
    for (int fd : {STDOUT_FILENO, STDERR_FILENO, channelFd}) {
        if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(write), 1,
                             SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(fd))) != 0)
            return false;
    }
    return true;
}

} // namespace

bool confine(unsigned cpuSeconds, int channelFd, std::string *why) {
    // The next descriptor free is the one libmdb opens the file as; none beyond it.
    const int next = ::fcntl(STDIN_FILENO, F_DUPFD, 0);
    if (next < 0) {
        *why = std::string("descriptors: ") + std::strerror(errno);
        return false;
    }
    ::close(next);
    if (!limit(RLIMIT_CORE, 0, 0, "core", why) || !limit(RLIMIT_FSIZE, 0, 0, "file size", why) ||
        !limit(RLIMIT_NOFILE, rlim_t(next) + 1, rlim_t(next) + 1, "descriptors", why) ||
        !limit(RLIMIT_CPU, cpuSeconds, cpuSeconds + 1, "processor time", why))
        return false;
#ifndef ORLU_ADDRESS_SANITIZER
    // The address sanitizer reserves its shadow memory beyond any such bound.
    if (!limit(RLIMIT_AS, AddressSpace, AddressSpace, "memory", why))
        return false;
#endif
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_KILL_PROCESS);
    const bool loaded = filter && allowedCalls(filter, channelFd) && seccomp_load(filter) == 0;
    if (filter)
        seccomp_release(filter);
    if (!loaded)
        *why = "system-call filter";
    return loaded;
}

} // namespace orlu
