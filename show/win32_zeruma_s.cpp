#include "show/win32_zeruma_s.h"

#include "common/handoff_folder.h"
#include "common/problem_report.h"
#include "common/win32_text.h"
#include "common/win32_window_class.h"
#include "common/window_titles.h"
#include "launcher/process_end.h"
#include "launcher/win32_message_loop.h"
#include "music/win32_media_platform.h"
#include "show/embedded_pictures.h"
#include "show/handoff_bitmap.h"
#include "show/show_start.h"

#include <memory>

namespace kovessa {

namespace {

constexpr const wchar_t* kWindowClass = L"Kovessa.Zeruma_S";

UINT_PTR timerId(ShowTimer timer) {
    switch (timer) {
    case ShowTimer::Timer1:
        return 1;
    case ShowTimer::Timer2:
        return 2;
    case ShowTimer::Timer3:
        break;
    }
    return 3;
}

UINT timerInterval(ShowTimer timer) {
    switch (timer) {
    case ShowTimer::Timer1:
        return 1000;
    case ShowTimer::Timer2:
        return 200;
    case ShowTimer::Timer3:
        break;
    }
    return 50;
}

// One argument of a command line as the C runtime of the started program splits it again.
std::wstring quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

std::wstring backslashed(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

} // namespace

Zeruma_S::Zeruma_S(AppContext& app)
    : app_(app),
      music_(app.music, app.shared.APIResult, [] { return CreateWin32MediaPlatform(); }) {}

Zeruma_S::~Zeruma_S() {
    if (renderer_ != nullptr) {
        CloseHandle(renderer_);
    }
}

bool Zeruma_S::Load() {
    // The show's first two steps, pictures then renderer, come before the window, as on Linux;
    // the load handler carries on from what they left.
    const ShowStart start = StartShow(RendererLaunchFor(app_), *this);
    oneShotFolder_ = start.oneShotFolder;
    ShowServices& services = *this;
    controller_.emplace(app_, services, music_, start);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc =
        &OwnedWindowProc<Zeruma_S, &Zeruma_S::window_, &Zeruma_S::HandleMessage>;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    // Never shown: its caption is only there for a second start of the program to find.
    window_ = CreateWindowExW(0, kWindowClass, WideFromUtf8(kShowWindowTitle).c_str(),
                              WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr, instance, this);
    if (window_ == nullptr) {
        ReportProblem("cannot make the show window: error " + std::to_string(GetLastError()));
        return false;
    }
    controller_->Form_Load();
    return true;
}

LRESULT Zeruma_S::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == timerId(ShowTimer::Timer1)) {
            controller_->Timer1_Timer();
        } else if (wParam == timerId(ShowTimer::Timer2)) {
            controller_->Timer2_Timer();
        } else if (wParam == timerId(ShowTimer::Timer3)) {
            controller_->Timer3_Timer();
        }
        return 0;
    case WM_CLOSE:
    case WM_ENDSESSION:
        // A close request from another program, or Windows shutting down: the same end.
        if (message == WM_CLOSE || wParam != FALSE) {
            controller_->Form_QueryUnload();
        }
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

HandoffResult Zeruma_S::HandOverPictures() {
    // The show window's two pictures, the sources of the renderer's textures.
    return kovessa::HandOverPictures({
        {kGlowBitmapName, GlowPixels()},
        {kBackgroundBitmapName, EarthPixels()},
    });
}

bool Zeruma_S::StartRenderer(const RendererLaunch& launch,
                             const std::vector<std::string>& arguments) {
    const std::wstring path = backslashed(WideFromUtf8(launch.path));
    std::wstring commandLine = quoted(path);
    for (const std::string& argument : arguments) {
        commandLine += L" " + quoted(WideFromUtf8(argument));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Show command 1: a normal window that takes the focus.
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        ReportProblem("cannot start " + launch.path + ": error " + std::to_string(GetLastError()));
        return false;
    }
    CloseHandle(process.hThread);
    renderer_ = process.hProcess;
    WatchHandle(renderer_, [this] { rendererEnded(); });
    return true;
}

void Zeruma_S::rendererEnded() {
    DWORD code = 0;
    GetExitCodeProcess(renderer_, &code);
    // The renderer removes the one-shot folder once it has read the pictures; one that failed
    // before that leaves it to this process, which made it.
    if (oneShotFolder_) {
        RemoveOneShotHandoffFolder(*oneShotFolder_);
        oneShotFolder_.reset();
    }
    controller_->RendererEnded(static_cast<int>(code));
}

bool Zeruma_S::ClaimMusic() {
    // Only a daemon's several instances share the music; Windows starts one show.
    return true;
}

std::optional<ScreenPoint> Zeruma_S::GetCursorPos() {
    POINT point{};
    if (!::GetCursorPos(&point)) {
        return std::nullopt;
    }
    return ScreenPoint{point.x, point.y};
}

void Zeruma_S::ShowCursor() {
    ::ShowCursor(TRUE);
}

void Zeruma_S::SetTimerEnabled(ShowTimer timer, bool enabled) {
    if (enabled) {
        SetTimer(window_, timerId(timer), timerInterval(timer), nullptr);
    } else {
        KillTimer(window_, timerId(timer));
    }
}

void Zeruma_S::ReportProblem(const std::string& text) {
    kovessa::ReportProblem(text);
}

void Zeruma_S::Unload() {
    controller_->Form_QueryUnload();
}

void Zeruma_S::EndProcessAtOnce(int code) {
    kovessa::EndProcessAtOnce(code);
}

} // namespace kovessa
