#pragma once

#include "tests/harness/harness.h"

#include <string>

namespace kovessa::test {

// A private Xvfb that keeps its screen in a file (-fbdir) with a black root window. Unlike a
// screenshot, that file shows the software pointer, so a test can see whether the pointer is
// hidden. Programs reach it by the DISPLAY value of Env().
class FramebufferServer {
public:
    FramebufferServer(int width, int height);
    ~FramebufferServer();
    FramebufferServer(const FramebufferServer&) = delete;
    FramebufferServer& operator=(const FramebufferServer&) = delete;

    Display* Connection() const { return dpy_; }
    Process::Env Env() const { return {{"DISPLAY", name_}}; }
    // Whether any pointer pixel shows in the 32 x 32 square below and right of (x, y).
    bool PointerVisibleNear(int x, int y) const;

private:
    TempDir dir_;
    pid_t pid_ = -1;
    std::string name_;
    Display* dpy_ = nullptr;
};

} // namespace kovessa::test
