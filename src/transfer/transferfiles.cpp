#include "transfer/transferfiles.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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
    // Closing can report a late write failure (on network media), so it is checked.
    int close() {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }

private:
    int m_fd;
};

} // namespace

ssize_t FileCopier::writeSome(int fd, const char *data, size_t size) {
    return ::write(fd, data, size);
}

int FileCopier::copy(const QString &from, const QString &to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    const QByteArray temp = target + ".part";
    Descriptor in(::open(source.constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return errno;
    Descriptor out(::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.get() < 0)
        return errno;
    auto failed = [&temp](int code) {
        ::unlink(temp.constData());
        return code;
    };
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failed(errno);
        }
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = writeSome(out.get(), buffer.data() + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return failed(errno);
            }
            done += w;
        }
    }
    if (::fsync(out.get()) != 0 || out.close() != 0)
        return failed(errno);
    if (std::rename(temp.constData(), target.constData()) != 0)
        return failed(errno);
    return 0;
}

QString copyErrorText(int errorCode, TransferDirection direction) {
    switch (errorCode) {
    case ENOENT:
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
        return u"磁盘容量不足 !!"_s;
    default:
        break;
    }
    const QString what = direction == TransferDirection::Export ? u"数据汇出错误"_s : u"数据汇入错误"_s;
    return u"%1 !! ErrorCode[%2]，"_s.arg(what).arg(errorCode);
}

QString failureMessage(const QString &text, TransferDirection direction) {
    return text + (direction == TransferDirection::Export ? u" 请排除问题后重新汇出数据。"_s
                                                          : u" 请排除问题后重新汇入数据。"_s);
}

QString copyFailureMessage(int errorCode, TransferDirection direction) {
    return failureMessage(copyErrorText(errorCode, direction), direction);
}

} // namespace orlu
