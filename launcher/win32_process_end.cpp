#include "launcher/process_end.h"

#include <windows.h>

#include <cstdio>

namespace kovessa {

void EndProcessAtOnce(int code) {
    // Standard output and error may carry a diagnostic that must not be lost with the process.
    std::fflush(stdout);
    std::fflush(stderr);
    ExitProcess(static_cast<UINT>(code));
}

} // namespace kovessa
