#pragma once

#include "jetwire/jetwire.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orlu {

// Builds the frames of the reader's answer (see jetwire.h) and hands them, in batches, to
// a sink: the pipe in the reader, memory in a fuzzing harness.
class FrameWriter {
public:
    // Takes what is due; false when it cannot be delivered (the reading stops).
    using Sink = std::function<bool(std::string_view bytes)>;
    explicit FrameWriter(Sink sink)
        : m_sink(std::move(sink)) {}

    void begin(jetwire::Frame kind);
    void null() { tag(jetwire::Tag::Null); }
    void integer(std::int64_t value);
    void real(double value);
    void flag(bool value);
    void text(std::string_view utf8) { counted(jetwire::Tag::Text, utf8); }
    void bytes(std::string_view data) { counted(jetwire::Tag::Bytes, data); }
    // Closes the frame begun last; false when its body is over the limit or cannot be delivered.
    bool end();
    // Hands over what is still held; false when it cannot be delivered.
    bool flush();

private:
    void tag(jetwire::Tag t) { m_pending.push_back(char(t)); }
    void little(std::uint64_t value, int size);
    void counted(jetwire::Tag t, std::string_view data);

    Sink m_sink;
    std::string m_pending;
    size_t m_frameStart = 0;
};

} // namespace orlu
