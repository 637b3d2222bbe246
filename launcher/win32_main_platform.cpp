#include "launcher/win32_main_platform.h"

#include "common/problem_report.h"
#include "common/win32_text.h"
#include "common/window_titles.h"
#include "launcher/file_exists.h"
#include "launcher/main_flow.h"
#include "launcher/preview_size.h"
#include "launcher/process_end.h"
#include "launcher/settings_file.h"
#include "settings/win32_zeruma_p.h"
#include "show/win32_zeruma_r.h"
#include "show/win32_zeruma_s.h"

#include <windows.h>

#include <string>

namespace kovessa {

namespace {

// The screen's real dots per inch; the process is DPI-aware, so Windows does not pretend 96.
void screenDotsPerInch(double& x, double& y) {
    x = 96;
    y = 96;
    if (const HDC screen = GetDC(nullptr)) {
        x = GetDeviceCaps(screen, LOGPIXELSX);
        y = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
}

} // namespace

bool Win32MainPlatform::WindowExists(const std::string& title) {
    // By title alone, among the top-level windows, hidden ones included.
    return FindWindowA(nullptr, title.c_str()) != nullptr;
}

void Win32MainPlatform::LoadSettings() {
    kovessa::LoadSettings(app_.music, app_.programFolder);
}

bool Win32MainPlatform::FileExists(const std::string& path) {
    return kovessa::FileExists(path);
}

void Win32MainPlatform::ShowMissingRendererMessage() {
    // The stored text goes through the wide call, so it reads right whatever the code page.
    MessageBoxW(nullptr, WideFromUtf8(kMissingRendererMessage).c_str(),
                WideFromUtf8(kProgramTitle).c_str(), MB_OK);
}

void Win32MainPlatform::ShowPreview(int32_t parentHandle) {
    // Window handles keep their meaning in 32 bits, also in a 64-bit process.
    const HWND parent = reinterpret_cast<HWND>(static_cast<intptr_t>(parentHandle));
    RECT rect{};
    // A handle that is no window leaves the rectangle all zero.
    app_.shared.APIResult = GetWindowRect(parent, &rect);
    double dpiX = 96;
    double dpiY = 96;
    screenDotsPerInch(dpiX, dpiY);
    const PreviewSize size =
        ComputePreviewSize(ScreenRect{rect.left, rect.top, rect.right, rect.bottom},
                           TwipsPerPixel(dpiX), TwipsPerPixel(dpiY));

    // Left to the end of the process, which ends with the preview.
    auto* preview = new Zeruma_R();
    if (!preview->Load()) {
        ReportProblem("cannot make the preview window: error " + std::to_string(GetLastError()));
        EndProcessAtOnce(1);
    }
    const HWND window = preview->Handle();
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    app_.shared.APIResult = SetWindowLongA(window, GWL_STYLE, style | WS_CHILD);
    app_.shared.APIResult = SetParent(window, parent) != nullptr;
    SetWindowPos(window, nullptr, 0, 0, size.widthPixels, size.heightPixels,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    preview->SetImgPrevSize(size.widthPixels, size.heightPixels);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    // A handle that is no window can never take the preview in, and nothing would ever end the
    // invisible preview: the process ends now, as the parent's going would end it.
    if (!::IsWindow(parent)) {
        EndProcessAtOnce(0);
    }
    preview->WatchParent(parent);
}

void Win32MainPlatform::ShowSettingsDialog() {
    Zeruma_P dialog(app_);
    dialog.ShowModal();
}

void Win32MainPlatform::HideCursor() {
    ShowCursor(FALSE);
}

void Win32MainPlatform::LoadShow() {
    // Left to the end of the process: the show ends it.
    auto* show = new Zeruma_S(app_);
    if (!show->Load()) {
        EndProcessAtOnce(1);
    }
}

bool Win32MainPlatform::ClaimShow() {
    // Two starts at the same instant can both pass the title guard; one named object per
    // session lets only the first on. It lives as long as the process.
    const HANDLE claim = CreateMutexW(nullptr, FALSE, L"Local\\Kovessa.Show");
    return claim != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

bool Win32MainPlatform::IsWindow(unsigned long window) {
    return ::IsWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(window))) != FALSE;
}

unsigned long Win32MainPlatform::RootWindow() {
    return 0;
}

void Win32MainPlatform::ReportProblem(const std::string& text) {
    kovessa::ReportProblem(text);
}

void Win32MainPlatform::LoadHack(unsigned long /*window*/) {
    ReportProblem("screensaver daemons do not exist on Windows");
}

} // namespace kovessa
