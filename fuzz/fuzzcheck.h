#pragma once

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// What the harnesses share: a check of a reader's promise that stops the fuzzer with the
// input at hand, and standard output and error kept for the fuzzer while a reader's
// libraries print.
namespace orlu::fuzz {

// The fuzzer's own standard error, as it was when first asked for.
inline int errors() {
    static const int fd = ::dup(STDERR_FILENO);
    return fd;
}

// Puts standard output and error back as they were when it goes.
class QuietOutput {
public:
    QuietOutput()
        : m_out(::dup(STDOUT_FILENO))
        , m_err(::dup(errors())) {}
    ~QuietOutput() {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(m_out, STDOUT_FILENO);
        ::dup2(m_err, STDERR_FILENO);
        ::close(m_out);
        ::close(m_err);
    }
    QuietOutput(const QuietOutput &) = delete;
    QuietOutput &operator=(const QuietOutput &) = delete;

private:
    int m_out;
    int m_err;
};

} // namespace orlu::fuzz

#define FUZZ_ASSERT(condition)                                                                               \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            ::dprintf(orlu::fuzz::errors(), "%s:%d: promise broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
