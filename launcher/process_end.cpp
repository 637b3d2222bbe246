#include "launcher/process_end.h"

#include <cstdio>
#include <unistd.h>

namespace kovessa {

void EndProcessAtOnce(int code) {
    // Standard output and error may carry a diagnostic that must not be lost with the process.
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(code);
}

} // namespace kovessa
