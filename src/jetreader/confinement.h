#pragma once

#include <string>

namespace orlu {

// Confines the calling process for reading a file already open: no core file, no file
// created or grown, no descriptor beyond the next one, a bound on memory and on processor
// seconds, and a system-call filter that allows reading, memory and leaving, but no
// network, no new process, no writing but to standard output and error and the
// descriptor `channelFd`, and opening only for reading. False, with the reason, when any
// part cannot be put in place.
bool confine(unsigned cpuSeconds, int channelFd, std::string *why);

} // namespace orlu
