#include "core/version.h"

namespace orlu {

const char *programVersion() {
    return ORLU_VERSION;
}

} // namespace orlu
