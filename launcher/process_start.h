#pragma once

#include <string>

namespace kovessa {

// Starts the program at `absolutePath` with no arguments and no shell, in the current
// environment, and returns at once without waiting for it. The child is reaped when it ends,
// so it never lingers as a zombie while this process lives. False when the path is not
// absolute or the program cannot be started.
bool StartProgram(const std::string& absolutePath);

} // namespace kovessa
