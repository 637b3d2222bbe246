#pragma once

// Test harness for end-to-end tests: a private Xvfb, a throw-away program folder with copies
// of the two programs, child processes with captured output, and the X11 operations a user
// performs (finding windows, moving the pointer, pressing keys, closing windows, looking at
// the screen). Every wait polls with a timeout; nothing sleeps for a fixed time.

#include "tests/support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

using Display = struct _XDisplay;

namespace kovessa::test {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct XvfbOptions {
    int width = 1920;
    int height = 1080;
    // More than one gives that many monitors of width x height side by side on one screen, as
    // RandR monitors (which Xinerama reports too), the way a desktop of several monitors is.
    int monitors = 1;
    // Lets every local user connect (-ac), for programs run as an ordinary user.
    bool openToAllUsers = false;
};

// A private X server on a free display, with GLX (Mesa's software OpenGL). -noreset keeps the
// server state when the last client leaves, so the pointer does not jump between test steps.
class Xvfb {
public:
    explicit Xvfb(XvfbOptions options = {});
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    const std::string& DisplayName() const { return name_; }
    // The server's process.
    pid_t Pid() const { return pid_; }
    // The test's own connection, for queries and input.
    Display* Connection() const { return dpy_; }
    // The whole screen: every monitor side by side.
    int Width() const { return options_.width * std::max(1, options_.monitors); }
    int Height() const { return options_.height; }

private:
    XvfbOptions options_;
    pid_t pid_ = -1;
    std::string name_;
    Display* dpy_ = nullptr;
};

// A temporary folder holding copies of Kovessa.scr and Kovessa.xy taken from
// $KOVESSA_BIN_DIR. Copies, not links: the programs find their folder through /proc/self/exe.
// The folder and the private hand-off folder are removed at the end.
class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const fs::path& Dir() const { return dir_; }
    fs::path Scr() const { return dir_ / "Kovessa.scr"; }
    fs::path Renderer() const { return dir_ / "Kovessa.xy"; }
    fs::path Ini() const { return dir_ / "Kovessa.ini"; }
    // Given to the children as XDG_RUNTIME_DIR: where the texture bitmaps are handed over.
    const fs::path& HandoffDir() const { return handoff_; }
    void RemoveRenderer() const;

private:
    fs::path root_;
    fs::path dir_;
    fs::path handoff_;
};

// A child process started with posix_spawn (no shell), stdout and stderr captured in files.
class Process {
public:
    using Env = std::vector<std::pair<std::string, std::string>>;

    // DISPLAY is set to the server, XDG_RUNTIME_DIR to the folder's hand-off folder (when a
    // folder is given); `env` adds or overrides further variables.
    static Process Start(const fs::path& exe, const std::vector<std::string>& args,
                         const Xvfb& xvfb, const ProgramFolder* folder = nullptr,
                         const Env& env = {});

    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    pid_t Pid() const { return pid_; }
    bool Running();
    // The exit code, 128 + signal number when a signal ended it, or nullopt on time-out.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);
    void Kill(int signal);
    std::string StdOut() const;
    std::string StdErr() const;

private:
    Process() = default;
    pid_t pid_ = -1;
    std::optional<int> status_;
    fs::path outDir_;
};

// The first process found whose parent is `parent` (a program a test started has started), from
// /proc; 0 when there is none.
pid_t ChildOf(pid_t parent);

// Polls `condition` every few milliseconds until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// Every window of the whole tree, mapped or not, whose WM_NAME or _NET_WM_NAME is exactly
// `title`.
std::vector<unsigned long> FindWindows(Display* dpy, const std::string& title);
// The title of a window as the guard sees it (_NET_WM_NAME first, then WM_NAME).
std::string WindowTitle(Display* dpy, unsigned long window);
bool IsWindowViewable(Display* dpy, unsigned long window);

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0; // x, y relative to the root window
};
std::optional<Geometry> WindowGeometry(Display* dpy, unsigned long window);
// The parent of `window` (0 for the root window), or nullopt when it is no window.
std::optional<unsigned long> ParentOf(Display* dpy, unsigned long window);
// The ancestor of `window` that is a child of the root window: the one a window manager frames
// and asks to close.
unsigned long TopLevelOf(Display* dpy, unsigned long window);

// Pointer and keyboard through XTest, as a user would move and type.
void MovePointerTo(Display* dpy, int x, int y);
void MovePointerBy(Display* dpy, int dx, int dy);
std::pair<int, int> PointerPosition(Display* dpy);
void KeyDown(Display* dpy, unsigned long keysym);
void KeyUp(Display* dpy, unsigned long keysym);
// Down and up at once, so that both reach a program before it can draw between them.
void TapKey(Display* dpy, unsigned long keysym);
void ButtonDown(Display* dpy, int button);
void ButtonUp(Display* dpy, int button);
void ClickButton(Display* dpy, int button);

// Posts WM_PROTOCOLS/WM_DELETE_WINDOW, the close request a window manager sends.
void SendCloseRequest(Display* dpy, unsigned long window);

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels; // row by row, top row first
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What the screen shows (the root window's contents).
Rgb PixelAt(Display* dpy, int x, int y);
Image Capture(Display* dpy, int x, int y, int width, int height);
Image CaptureWindow(Display* dpy, unsigned long window);
// Writes a PNG (through a binary PPM and ImageMagick's convert); false when that fails.
bool SavePng(const Image& image, const fs::path& path);

// A plain top-level X window of another "program", e.g. the parent of a preview.
unsigned long CreateForeignWindow(Display* dpy, int width, int height, Rgb background = {},
                                  const std::string& title = {});
void DestroyForeignWindow(Display* dpy, unsigned long window);

// The folder for screenshots and other artefacts that tests leave for people to look at:
// $KOVESSA_ARTIFACT_DIR, otherwise build/tests/artifacts.
fs::path ArtifactDir();

} // namespace kovessa::test
