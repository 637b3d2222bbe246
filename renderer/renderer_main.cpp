// Kovessa.xy: the full-screen firefly renderer that the screensaver program starts. It takes
// its two textures from the hand-off folder, draws frame after frame and ends on Esc, on the
// pointer moving away or on a close request. Started with --window-id it draws into a
// screensaver daemon's window instead, and ends when that window goes or on SIGTERM.

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#define SDL_MAIN_HANDLED
#include "common/handoff_folder.h"
#include "common/problem_report.h"
#include "common/session_bus.h"
#include "common/window_id.h"
#include "common/window_titles.h"
#include "renderer/gl_scene_painter.h"
#include "renderer/gl_scene_setup.h"
#include "renderer/renderer_loop.h"
#include "renderer/renderer_options.h"
#include "renderer/sdl_key_map.h"
#include "renderer/sdl_message_box.h"
#include "renderer/sdl_renderer_window.h"
#include "renderer/stderr_message_sink.h"
#include "renderer/x11_error_handler.h"
#include "renderer/x11_pointer.h"
#include "renderer/x11_window_watch.h"

#include <SDL.h>

namespace kovessa {
namespace {

int64_t MonotonicNanos() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}
// The tick counter: 64-bit milliseconds that never wrap.
int64_t TickCount() {
    return MonotonicNanos() / 1000000;
}
int64_t NowMicros() {
    return MonotonicNanos() / 1000;
}

// Process-wide state of the renderer, one per process, used on the one thread only.
struct Renderer {
    RendererWindow window;
    RendererLoop loop;
    SceneTextures textures;
    RendererOptions options;
    X11WindowWatch foreignWindow;
    SdlMessageBox boxes;
    StderrMessageSink lines;
    // Boxes full screen; lines only inside a daemon's window, where nobody could close a box.
    MessageSink* messages = &boxes;
};

Renderer& State() {
    static Renderer renderer;
    return renderer;
}

std::string HandoffFile(const Renderer& r, const char* name) {
    if (r.options.handoffFolder) {
        return *r.options.handoffFolder + "/" + name;
    }
    // A refused hand-off folder leaves a name that cannot be opened, which the loader reports
    // like a missing file.
    return HandoffPath(name).value_or(std::string("/nonexistent/") + name);
}

// The scene with its two textures; a one-shot folder served this start only.
void SetupScene(Renderer& r) {
    // The seed is the low half of a nanosecond clock, different at every start.
    kovessa::SetupScene(HandoffFile(r, kGlowBitmapName), HandoffFile(r, kBackgroundBitmapName),
                        static_cast<uint32_t>(MonotonicNanos()), r.loop.Scene(), r.textures,
                        *r.messages);
    if (r.options.handoffFolder) {
        RemoveOneShotHandoffFolder(*r.options.handoffFolder);
    }
}

// The window procedure: keys by virtual-key code, resizes and close requests.
void HandleEvent(Renderer& r, const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
        // Keys pressed with Alt are system keys and not recorded.
        if ((event.key.keysym.mod & KMOD_ALT) == 0) {
            if (const int vk = VirtualKeyFor(event.key.keysym.sym); vk >= 0) {
                r.loop.Keys().Press(vk);
            }
        }
        break;
    case SDL_KEYUP:
        if (const int vk = VirtualKeyFor(event.key.keysym.sym); vk >= 0) {
            r.loop.Keys().Release(vk);
        }
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            ResizeScene(event.window.data1, event.window.data2);
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            RepaintCover(r.window, event.window.windowID);
        } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            // A close request ends the loop at its next pass; the window is destroyed by the
            // teardown, not here.
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        break;
    default:
        break;
    }
}

// Takes one event, waiting for one only while a paced loop is ahead of its next frame.
bool NextEvent(Renderer& r, SDL_Event& event) {
    if (SDL_PollEvent(&event)) {
        return true;
    }
    const int64_t wait = r.loop.WaitMicros(NowMicros());
    return wait > 0 && SDL_WaitEventTimeout(&event, static_cast<int>((wait + 999) / 1000));
}

// The window: our own full-screen one, or the daemon's. Nothing when it is open, otherwise the
// exit code, after the one line or the box that said why.
std::optional<int> OpenWindow(Renderer& r) {
    if (!r.options.window) {
        // A failure there was shown in a box, which the user closed.
        return CreateRendererWindow(r.window, 32, *r.messages) ? std::nullopt
                                                               : std::optional<int>(0);
    }
    r.messages = &r.lines;
    const unsigned long window = *r.options.window;
    const std::optional<X11WindowWatch::Size> size = r.foreignWindow.Start(window);
    if (!size) {
        ReportProblem(WindowIdText(window) + " is not a window");
        return 1;
    }
    if (CreateRendererWindowIn(r.window, window, size->width, size->height, *r.messages)) {
        return std::nullopt;
    }
    // Its owner destroyed the window while the scene was being set up: the end the owner
    // asked for, as when it goes later.
    if (!r.foreignWindow.Exists()) {
        ReportProblem(WindowIdText(window) + " was destroyed before drawing began");
        return 0;
    }
    ReportProblem("cannot draw into " + WindowIdText(window) + ": " + r.window.failure);
    return 1;
}

// Inside a daemon's window: follow its size, and stop once it is gone.
bool ForeignWindowGone(Renderer& r) {
    if (!r.window.foreign) {
        return false;
    }
    if (const auto size = r.foreignWindow.PollResize()) {
        ResizeScene(size->width, size->height);
    }
    return r.foreignWindow.Gone();
}

int RunRenderer(const std::vector<std::string>& arguments) {
    Renderer& r = State();
    r.options = ReadRendererOptions(arguments);
    if (!r.options.error.empty()) {
        ReportProblem(r.options.error);
        return 1;
    }
    if (const std::optional<int> code = OpenWindow(r)) {
        return *code;
    }
    SetupScene(r);
    r.loop.Start(TickCount(), r.window.vsync, r.window.refreshRate);
    // The daemon owns the pointer and keyboard of its window: neither ends the show there.
    const bool ownWindow = !r.window.foreign;
    if (ownWindow) {
        // A position that cannot be read starts the watch at the screen's corner.
        r.loop.WatchPointerFrom(GetCursorPos(r.window.WindowHandle).value_or(ScreenPoint{}));
        SDL_ShowCursor(SDL_DISABLE);
    }

    for (;;) {
        SDL_Event event;
        if (NextEvent(r, event)) {
            if (event.type == SDL_QUIT) {
                break;
            }
            HandleEvent(r, event);
            continue;
        }
        if (ForeignWindowGone(r)) {
            break;
        }
        DrawScene(r.loop.BuildFrame(TickCount(), NowMicros()), r.textures);
        SDL_GL_SwapWindow(r.window.WindowHandle);
        if (ownWindow && !r.loop.GoesOnAfterFrame(GetCursorPos(r.window.WindowHandle))) {
            break;
        }
    }
    DestroyRendererWindow(r.window, *r.messages);
    return 0;
}

} // namespace
} // namespace kovessa

int main(int argc, char** argv) {
    kovessa::ReportUnder(kovessa::kRendererFileName);
    kovessa::KeepOffUnnamedSessionBus();
    // Before anything opens a display, so that every connection, SDL's included, reports to
    // it.
    kovessa::X11ErrorHandler::Install();
    const int code = kovessa::RunRenderer(std::vector<std::string>(argv + 1, argv + argc));
    SDL_Quit();
    return code;
}
