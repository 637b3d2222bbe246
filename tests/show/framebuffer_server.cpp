#include "tests/show/framebuffer_server.h"

#include "tests/show/show_e2e_support.h"

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kovessa::test {

namespace {

uint32_t Be32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3]));
}

} // namespace

FramebufferServer::FramebufferServer(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) {
        throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fbdir = dir_.Path().string();
    std::vector<std::string> args = {"Xvfb",   "-displayfd", "3",   "-screen",  "0",         screen,
                                     "-fbdir", fbdir,        "-br", "-noreset", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    char c = 0;
    while (rc == 0 && read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (rc != 0 || number.empty()) {
        throw std::runtime_error("Xvfb with -fbdir did not start");
    }
    name_ = ":" + number;
    dpy_ = XOpenDisplay(name_.c_str());
    if (dpy_ == nullptr) {
        throw std::runtime_error("cannot connect to " + name_);
    }
    // A plain arrow: white inside, so it shows on the black root.
    XDefineCursor(dpy_, DefaultRootWindow(dpy_), XCreateFontCursor(dpy_, XC_left_ptr));
    XSync(dpy_, False);
}

FramebufferServer::~FramebufferServer() {
    if (dpy_ != nullptr) {
        XCloseDisplay(dpy_);
    }
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool FramebufferServer::PointerVisibleNear(int x, int y) const {
    XSync(dpy_, False);
    const std::string xwd = ReadWholeFile(dir_.Path() / "Xvfb_screen0");
    if (xwd.size() < 100) {
        return false;
    }
    const uint32_t header = Be32(xwd, 0);
    const uint32_t w = Be32(xwd, 16);
    const uint32_t h = Be32(xwd, 20);
    const uint32_t bitsPerPixel = Be32(xwd, 44);
    const uint32_t stride = Be32(xwd, 48);
    const uint32_t colours = Be32(xwd, 76);
    const size_t pixels = header + static_cast<size_t>(colours) * 12;
    if (bitsPerPixel != 32) {
        return false;
    }
    for (int py = std::max(0, y); py < std::min<int>(static_cast<int>(h), y + 32); ++py) {
        for (int px = std::max(0, x); px < std::min<int>(static_cast<int>(w), x + 32); ++px) {
            const size_t at =
                pixels + static_cast<size_t>(py) * stride + static_cast<size_t>(px) * 4;
            if (at + 3 >= xwd.size()) {
                return false;
            }
            // Any bright pixel on the black root belongs to the pointer.
            if (static_cast<uint8_t>(xwd[at]) > 128 && static_cast<uint8_t>(xwd[at + 1]) > 128 &&
                static_cast<uint8_t>(xwd[at + 2]) > 128) {
                return true;
            }
        }
    }
    return false;
}

} // namespace kovessa::test
