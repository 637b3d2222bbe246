#pragma once

namespace kovessa {

// Ends the process immediately with `code`: no close or unload handler of any window and no
// destructor runs any more. The system closes the files and the display connection, and the X
// server then shows a pointer this process had hidden again.
[[noreturn]] void EndProcessAtOnce(int code = 0);

} // namespace kovessa
