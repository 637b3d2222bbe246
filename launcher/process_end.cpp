#include "launcher/process_end.h"

#include "launcher/child_process.h"
#include "launcher/runtime_folder.h"

#include <cstdio>
#include <unistd.h>

namespace kovessa {

void EndProcessAtOnce(int code) {
    // A child asked to end (a signal to this process ends its renderer) is waited for here, so
    // that nothing of the show outlives the process that a daemon waits for.
    FinishEndingChildren();
    // Made for this process alone; its children, which may have used it, are gone by now.
    RemovePrivateRuntimeFolder();
    // Standard output and error may carry a diagnostic that must not be lost with the process.
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(code);
}

} // namespace kovessa
