// Kovessa.scr's preview with the window it goes into made by the same process, for the tests
// under Wine. Wine shows nothing that GDI draws into a child window whose top-level window
// belongs to another process (see the preview's test), so the picture itself can only be read
// off the screen when the preview's parent is a window of its own process.
//
//   in_process_preview_host WIDTH HEIGHT STOPFILE  makes a borderless magenta window titled
//       "Preview Host" of that size, then takes Kovessa.scr's start steps for "/p <its handle>"
//       and runs Kovessa.scr's message loop. When the file STOPFILE exists it destroys its
//       window, which ends the process through the preview, as the settings' going would.

#include "launcher/app_context.h"
#include "launcher/main_flow.h"
#include "launcher/process_end.h"
#include "launcher/win32_main_platform.h"
#include "launcher/win32_message_loop.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR kStopTimer = 1;
std::string stopFile;

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kStopTimer &&
        GetFileAttributesA(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        KillTimer(window, kStopTimer);
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeHost(int width, int height) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = hostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    // Magenta, so that any part the preview leaves uncovered shows.
    windowClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
    windowClass.lpszClassName = L"KovessaInProcessPreviewHost";
    RegisterClassW(&windowClass);
    const HWND window =
        CreateWindowW(windowClass.lpszClassName, L"Preview Host", WS_POPUP | WS_CLIPCHILDREN, 40,
                      40, width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        SetTimer(window, kStopTimer, 50, nullptr);
    }
    return window;
}

} // namespace

int main(int argc, char** argv) {
    using namespace kovessa;
    if (argc != 4) {
        return 2;
    }
    stopFile = argv[3];
    SetProcessDPIAware();
    const HWND host = makeHost(std::atoi(argv[1]), std::atoi(argv[2]));
    if (host == nullptr) {
        return 1;
    }
    AppContext app;
    app.commandLine = "/p " + std::to_string(reinterpret_cast<intptr_t>(host));
    app.modeLetter = "P";
    Win32MainPlatform platform(app);
    if (Main(app.commandLine, app.programFolder, platform) != MainResult::RunMessageLoop) {
        return 1;
    }
    EndProcessAtOnce(RunMessageLoop());
}
