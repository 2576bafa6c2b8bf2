// libFuzzer entry point: build with clang and -fsanitize=fuzzer,address,undefined
// (target fuzz_descramble) and run it on fuzz/descramble_corpus.
#include "descrambleharness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    return orlu::fuzz::descrambleOne(data, size);
}
