#pragma once

#include "analysis/descramble.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// One fuzz input for the descrambler, Qt-free so libFuzzer can drive it. The
// stored value is the input itself; whatever it is, descrambling must not
// crash, a valid value must give one byte per pair after the seed, and the
// bytes must scramble back to a value that descrambles to the same bytes.
namespace orlu::fuzz {

inline int descrambleOne(const std::uint8_t *data, std::size_t size) {
    const std::string_view stored(reinterpret_cast<const char *>(data), size);
    const auto plain = descrambleHex(stored);
    if (!plain)
        return 0;
    if (!stored.empty() && plain->size() != (stored.size() - 2) / 2)
        std::abort();
    for (unsigned seed : {0u, 0x41u, 0xFFu}) {
        const auto again = scrambleBytes(*plain, static_cast<std::uint8_t>(seed));
        if (!again)
            continue; // a 0 byte that this seed cannot carry
        const auto back = descrambleHex(*again);
        if (!back || *back != *plain)
            std::abort();
    }
    return 0;
}

} // namespace orlu::fuzz
