#pragma once

#include <QIODevice>

#include <cstddef>

namespace orlu {

// Writes to an open file (or pipe) without a buffer of its own, keeping the system's
// error code of a failure.
class UnbufferedFileWriter : public QIODevice {
public:
    explicit UnbufferedFileWriter(int fd);
    bool isSequential() const override { return true; }
    int lastErrorCode() const { return m_errorCode; }
    // Writes out what the device still holds; false when that (or an earlier write) failed.
    virtual bool finish() { return m_errorCode == 0; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;
    // Writes all of `size` bytes; on a failure records its code and returns false.
    bool writeFully(const char *data, std::size_t size);

    int m_fd;

private:
    int m_errorCode = 0;
};

} // namespace orlu
