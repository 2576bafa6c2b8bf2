#pragma once

#include "unbufferedfilewriter.h"

#include <cstddef>
#include <memory>

namespace orlu {

// Gigabytes written once to a new regular file. Where the file system allows it, the
// data goes to the disk past the page cache, in aligned blocks gathered here: the
// kernel then neither copies every byte nor holds gigabytes of dirty pages that the
// final fsync has to wait for. Elsewhere it is written as UnbufferedFileWriter writes.
class BulkFileWriter : public UnbufferedFileWriter {
public:
    explicit BulkFileWriter(int fd);
    ~BulkFileWriter() override;
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
