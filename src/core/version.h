#pragma once

namespace orlu {

// The program's version, as the build was configured ("5.07").
const char *programVersion();

} // namespace orlu
