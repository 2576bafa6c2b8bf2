#include "bulkfilewriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace orlu {

namespace {

// Direct transfers need the memory, the length and the file offset aligned to the
// disk's logical block; a page covers every block size in use.
constexpr std::size_t Alignment = 4096;
// Large enough that the disk streams, small enough to stay in the processor's caches
// no longer than it takes to copy in.
constexpr std::size_t BlockBytes = 8u << 20;

} // namespace

void BulkFileWriter::FreeBlock::operator()(char *p) const {
    std::free(p);
}

BulkFileWriter::BulkFileWriter(int fd)
    : UnbufferedFileWriter(fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    // The system refuses the flag where the file system cannot transfer directly.
    m_direct = flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_DIRECT) == 0;
    if (m_direct) {
        m_block.reset(static_cast<char *>(std::aligned_alloc(Alignment, BlockBytes)));
        if (!m_block)
            stopBypassing();
    }
}

BulkFileWriter::~BulkFileWriter() = default;

void BulkFileWriter::stopBypassing() {
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(m_fd, F_SETFL, flags & ~O_DIRECT);
    m_direct = false;
}

qint64 BulkFileWriter::writeData(const char *data, qint64 size) {
    if (!m_block)
        return UnbufferedFileWriter::writeData(data, size);
    for (std::size_t left = std::size_t(size); left > 0;) {
        const std::size_t n = std::min(left, BlockBytes - m_used);
        std::memcpy(m_block.get() + m_used, data, n);
        m_used += n;
        data += n;
        left -= n;
        if (m_used == BlockBytes && !writeGathered())
            return -1;
    }
    return size;
}

bool BulkFileWriter::writeGathered() {
    const char *data = m_block.get();
    std::size_t left = m_used;
    m_used = 0;
    while (left > 0 && m_direct) {
        const ssize_t n = ::write(m_fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EINVAL) {
            // The disk wants a larger alignment than ours: write as usual from here.
            stopBypassing();
            break;
        }
        if (n <= 0)
            return writeFully(data, left); // records the cause
        data += n;
        left -= std::size_t(n);
        if (left > 0)
            stopBypassing(); // the rest no longer starts on a block
    }
    return writeFully(data, left);
}

bool BulkFileWriter::finish() {
    if (m_used > 0) {
        // The tail is not a whole block: it goes through the page cache.
        if (m_direct)
            stopBypassing();
        if (!writeGathered())
            return false;
    }
    return UnbufferedFileWriter::finish();
}

} // namespace orlu
