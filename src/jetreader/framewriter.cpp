#include "jetreader/framewriter.h"

#include <cstring>

namespace orlu {

namespace {

// Frames are handed over in batches of about this size.
constexpr size_t BatchSize = 64 * 1024;

} // namespace

void FrameWriter::begin(jetwire::Frame kind) {
    m_frameStart = m_pending.size();
    m_pending.push_back(char(kind));
    m_pending.append(4, '\0');
}

void FrameWriter::little(std::uint64_t value, int size) {
    char bytes[8];
    for (int i = 0; i < size; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xff);
    m_pending.append(bytes, size_t(size));
}

void FrameWriter::integer(std::int64_t value) {
    tag(jetwire::Tag::Integer);
    little(std::uint64_t(value), 8);
}

void FrameWriter::real(double value) {
    tag(jetwire::Tag::Real);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    little(bits, 8);
}

void FrameWriter::flag(bool value) {
    tag(jetwire::Tag::Flag);
    m_pending.push_back(value ? '\1' : '\0');
}

void FrameWriter::counted(jetwire::Tag t, std::string_view data) {
    tag(t);
    little(std::uint32_t(data.size()), 4);
    m_pending.append(data);
}

bool FrameWriter::end() {
    const size_t body = m_pending.size() - m_frameStart - jetwire::HeaderSize;
    if (body > jetwire::MaxBody) {
        m_pending.resize(m_frameStart);
        return false;
    }
    for (int i = 0; i < 4; ++i)
        m_pending[m_frameStart + 1 + size_t(i)] = char((body >> (8 * i)) & 0xff);
    return m_pending.size() < BatchSize || flush();
}

bool FrameWriter::flush() {
    const bool delivered = m_pending.empty() || m_sink(m_pending);
    m_pending.clear();
    m_frameStart = 0;
    return delivered;
}

} // namespace orlu
