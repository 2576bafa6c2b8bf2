#include "unbufferedfilewriter.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace orlu {

UnbufferedFileWriter::UnbufferedFileWriter(int fd)
    : m_fd(fd) {
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 UnbufferedFileWriter::writeData(const char *data, qint64 size) {
    return writeFully(data, std::size_t(size)) ? size : -1;
}

bool UnbufferedFileWriter::writeFully(const char *data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(m_fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_errorCode = n < 0 ? errno : ENOSPC;
            setErrorString(QString::fromLocal8Bit(std::strerror(m_errorCode)));
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

} // namespace orlu
