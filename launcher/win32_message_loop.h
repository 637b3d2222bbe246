#pragma once

#include <functional>

namespace kovessa {

// The one message loop of Kovessa.scr on Windows. Besides the window messages it waits on the
// handles given to WatchHandle (a process that ends, for instance) and calls their function on
// the loop, between two messages, like any other handler.
void WatchHandle(void* handle, std::function<void()> signalled);

// Dispatches messages until WM_QUIT; returns its exit code.
int RunMessageLoop();

} // namespace kovessa
