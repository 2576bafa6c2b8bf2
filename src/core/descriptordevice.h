#pragma once

#include <QIODevice>

#include <cstddef>
#include <memory>

namespace orlu {

// Unbuffered writes to a descriptor, keeping the system's error code of a failure.
class DescriptorDevice : public QIODevice {
public:
    explicit DescriptorDevice(int fd);
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

// Gigabytes written once to a new regular file. Where the file system allows it, the
// data goes to the disk past the page cache, in aligned blocks gathered here: the
// kernel then neither copies every byte nor holds gigabytes of dirty pages that the
// final fsync has to wait for. Elsewhere it is written as DescriptorDevice writes.
class BulkFileDevice : public DescriptorDevice {
public:
    explicit BulkFileDevice(int fd);
    ~BulkFileDevice() override;
    bool finish() override;

protected:
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool writeGathered();
    void stopBypassing();

    struct FreeBlock {
        void operator()(char *p) const;
    };
    std::unique_ptr<char, FreeBlock> m_block;
    std::size_t m_used = 0;
    bool m_direct = false;
};

} // namespace orlu
