#include "transfer/transferfiles.h"

#include "platform/outputfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

ssize_t FileCopier::writeSome(int fd, const char *data, size_t size) {
    return ::write(fd, data, size);
}

int FileCopier::copy(const QString &from, const QString &to) {
    // The copy replaces a regular file or takes a free name; a link, a pipe or a device
    // at the name is somebody else's and is left alone.
    struct stat at {};
    if (::lstat(QFile::encodeName(to).constData(), &at) == 0 && !S_ISREG(at.st_mode))
        return EEXIST;
    // Non-blocking, so a pipe given as the source cannot hold the copy up.
    Descriptor in(::open(QFile::encodeName(from).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0)
        return errno;
    struct stat source {};
    if (::fstat(in.get(), &source) != 0)
        return errno;
    if (!S_ISREG(source.st_mode))
        return S_ISDIR(source.st_mode) ? EISDIR : EINVAL;
    OutputFile out(to);
    if (!out.open())
        return out.errorCode();
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = writeSome(out.handle(), buffer.data() + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += w;
        }
    }
    return out.commit() ? 0 : out.errorCode();
}

QString copyErrorText(int errorCode, TransferDirection direction) {
    switch (errorCode) {
    case ENOENT:
    case EISDIR:
    case ENOTDIR:
        return u"来源的档案数据不存在 !!"_s;
    case EACCES:
    case EPERM:
        return u"磁盘或档案是只读格式 !!"_s;
    case EROFS:
        return u"磁盘片写保护 !!"_s;
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
        return u"磁盘驱动器尚未准备妥当，或没有磁盘 !!"_s;
    case EIO:
        return u"无法读取指定装置，或磁盘格式化错误 !!"_s;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return u"磁盘容量不足 !!"_s;
    default:
        break;
    }
    return errorCodeText(errorCode, direction);
}

QString errorCodeText(int code, TransferDirection direction) {
    const QString what = direction == TransferDirection::Export ? u"数据汇出错误"_s : u"数据汇入错误"_s;
    return u"%1 !! ErrorCode[%2]，"_s.arg(what).arg(code);
}

QString failureMessage(const QString &text, TransferDirection direction) {
    return text + (direction == TransferDirection::Export ? u" 请排除问题后重新汇出数据。"_s
                                                          : u" 请排除问题后重新汇入数据。"_s);
}

QString copyFailureMessage(int errorCode, TransferDirection direction) {
    return failureMessage(copyErrorText(errorCode, direction), direction);
}

} // namespace orlu
