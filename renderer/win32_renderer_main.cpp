// Kovessa.xy on Windows: the full-screen firefly renderer that the screensaver program starts.
// It takes its two textures from the hand-off folder (or the one named by --handoff-folder),
// draws a frame whenever its message queue is empty and ends on Esc, on the pointer moving
// away or on a close request.

#include "common/handoff_folder.h"
#include "common/problem_report.h"
#include "common/win32_text.h"
#include "common/window_titles.h"
#include "renderer/gl_scene_painter.h"
#include "renderer/gl_scene_setup.h"
#include "renderer/renderer_loop.h"
#include "renderer/renderer_options.h"
#include "renderer/win32_message_box.h"
#include "renderer/win32_pointer.h"
#include "renderer/win32_renderer_window.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <shellapi.h>
#include <string>
#include <vector>

namespace kovessa {
namespace {

// The tick counter: 64-bit milliseconds that do not wrap after 49.7 days.
int64_t TickCount() {
    return static_cast<int64_t>(GetTickCount64());
}

int64_t PerformanceCount() {
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

int64_t NowMicros() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? f.QuadPart : 1;
    }();
    const int64_t count = PerformanceCount();
    return count / frequency * 1000000 + count % frequency * 1000000 / frequency;
}

// Process-wide state of the renderer, one per process, used on the one thread only.
struct Renderer {
    RendererWindow window;
    RendererLoop loop;
    SceneTextures textures;
    RendererOptions options;
    Win32MessageBox messages;
};

Renderer& State() {
    static Renderer renderer;
    return renderer;
}

std::string HandoffFile(const Renderer& r, const char* name) {
    if (r.options.handoffFolder) {
        return *r.options.handoffFolder + "\\" + name;
    }
    std::string error;
    if (const std::optional<std::string> folder = HandoffFolder(&error)) {
        return *folder + "\\" + name;
    }
    ReportProblem("no hand-off folder: " + error);
    // Angle brackets cannot stand in a Windows file name, so the loader reports this name as a
    // file it cannot open.
    return std::string("<no hand-off folder>\\") + name;
}

// The scene with its two textures; a one-shot folder served this start only.
void SetupScene(Renderer& r) {
    // The seed is the low half of the performance counter, different at every start.
    kovessa::SetupScene(HandoffFile(r, kGlowBitmapName), HandoffFile(r, kBackgroundBitmapName),
                        static_cast<uint32_t>(PerformanceCount()), r.loop.Scene(), r.textures,
                        r.messages);
    if (r.options.handoffFolder) {
        RemoveOneShotHandoffFolder(*r.options.handoffFolder);
    }
}

// Where the driver does not make the swap wait for the vertical blank, the loop waits for a
// message until the next refresh period instead of drawing frames nobody sees. A message that
// arrives meanwhile ends the wait at once.
void WaitForMessageOrFrame(Renderer& r) {
    const int64_t wait = r.loop.WaitMicros(NowMicros());
    if (wait > 0) {
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>((wait + 999) / 1000),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

int RunRenderer(const std::vector<std::string>& arguments) {
    Renderer& r = State();
    r.options = ReadRendererOptions(arguments);
    if (!r.options.error.empty()) {
        ReportProblem(r.options.error);
        return 1;
    }
    if (r.options.window) {
        // A daemon's window is an X window; on Windows the preview is the screensaver
        // program's own, so the renderer always draws full screen.
        ReportProblem("--window-id is for X windows and is ignored here");
    }
    r.window.keys = &r.loop.Keys();
    if (!CreateRendererWindow(r.window, 32, r.messages)) {
        return 0;
    }
    SetupScene(r);
    r.loop.Start(TickCount(), r.window.vsync, r.window.refreshRate);
    // A position that cannot be read starts the watch at the screen's corner.
    r.loop.WatchPointerFrom(GetCursorPos().value_or(ScreenPoint{}));
    ShowCursor(FALSE);

    for (;;) {
        // One message per pass; a frame only on a pass that finds the queue empty.
        MSG message{};
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        if (r.loop.WaitMicros(NowMicros()) > 0) {
            WaitForMessageOrFrame(r);
            continue;
        }
        DrawScene(r.loop.BuildFrame(TickCount(), NowMicros()), r.textures);
        SwapBuffers(r.window.DeviceContext);
        if (!r.loop.GoesOnAfterFrame(GetCursorPos())) {
            break;
        }
    }
    DestroyRendererWindow(r.window, r.messages);
    return 0;
}

// The arguments after the program's name, from the wide command line, as UTF-8.
std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Utf8FromWide(words[i]));
    }
    LocalFree(words);
    return arguments;
}

} // namespace
} // namespace kovessa

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kovessa::ReportUnder(kovessa::kRendererFileName);
    return kovessa::RunRenderer(kovessa::CommandLineArguments());
}
