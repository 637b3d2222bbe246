// A small Windows program for the tests under Wine, which can only see X windows from the
// outside: it makes a window for a preview to live in, and reads a message box from inside.
//
//   wine_window_probe host WIDTH HEIGHT STOPFILE  makes a borderless top-level window of that
//       size and prints its handle in decimal. Once it shows a child it prints
//       "child:TITLE:LEFT,TOP,WIDTH,HEIGHT" for each (relative to the host) and "end". When
//       the file STOPFILE exists it destroys its window and ends.
//   wine_window_probe box CAPTION  prints the texts of the message box titled CAPTION (UTF-8),
//       one line each: "text:" for a label, "button:" for a button, "icon" for an icon.
//       Exit code 1 when there is no such window.
//   wine_window_probe name CAPTION TEXT  puts TEXT into the file name field of the system's file
//       dialog titled CAPTION, as if it had been typed: names in any script reach the dialog,
//       which keys sent from the X side cannot do. Exit code 1 when there is no such dialog.
//   wine_window_probe long PATH  prints the long form of PATH (UTF-8), as Windows knows the file.
//       Exit code 1 when there is no such file.
//
// The arguments are taken as the wide-character command line has them, so a caption or a name
// in any script arrives whole whatever the ANSI code page.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kWatchTimer = 1;
std::wstring stopFile;
bool childrenPrinted = false;

std::string utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

BOOL CALLBACK printChildPlace(HWND child, LPARAM host) {
    wchar_t title[128] = {};
    GetWindowTextW(child, title, 128);
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(host), reinterpret_cast<POINT*>(&rect), 2);
    std::printf("child:%s:%ld,%ld,%ld,%ld\n", utf8(title).c_str(), rect.left, rect.top,
                rect.right - rect.left, rect.bottom - rect.top);
    return TRUE;
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        // Once a child is shown: it is placed and sized before that.
        if (const HWND child = GetWindow(window, GW_CHILD);
            !childrenPrinted && child != nullptr && IsWindowVisible(child)) {
            childrenPrinted = true;
            EnumChildWindows(window, printChildPlace, reinterpret_cast<LPARAM>(window));
            std::printf("end\n");
            std::fflush(stdout);
        }
        if (GetFileAttributesW(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int host(int width, int height) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = hostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    // A colour of its own, so a test sees where the preview does not cover it.
    windowClass.hbrBackground = CreateSolidBrush(RGB(0, 0, 255));
    windowClass.lpszClassName = L"KovessaPreviewHost";
    RegisterClassW(&windowClass);
    RECT rect{0, 0, width, height};
    AdjustWindowRect(&rect, WS_POPUP, FALSE);
    HWND window = CreateWindowW(L"KovessaPreviewHost", L"Preview Host", WS_POPUP | WS_CLIPCHILDREN,
                                40, 40, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    std::printf("%lld\n", static_cast<long long>(reinterpret_cast<intptr_t>(window)));
    std::fflush(stdout);
    SetTimer(window, kWatchTimer, 50, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

BOOL CALLBACK printChild(HWND child, LPARAM) {
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    const int length = GetWindowTextLengthW(child);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(child, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    const std::wstring kind = className;
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        // A box keeps its icon control even without an icon, hidden.
        if (IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0) != 0) {
            std::printf("icon\n");
        }
    } else if (_wcsicmp(className, L"Static") == 0 && !text.empty()) {
        std::printf("text:%s\n", utf8(text).c_str());
    } else if (_wcsicmp(className, L"Button") == 0) {
        std::printf("button:%s\n", utf8(text).c_str());
    }
    return TRUE;
}

int box(const std::wstring& caption) {
    // A box may share its caption with the window it belongs to: the dialog class first.
    HWND window = FindWindowW(L"#32770", caption.c_str());
    if (window == nullptr) {
        window = FindWindowW(nullptr, caption.c_str());
    }
    if (window == nullptr) {
        return 1;
    }
    EnumChildWindows(window, printChild, 0);
    std::fflush(stdout);
    return 0;
}

int name(const std::wstring& caption, const std::wstring& text) {
    const HWND dialog = FindWindowW(L"#32770", caption.c_str());
    if (dialog == nullptr) {
        return 1;
    }
    // The file name field: the combo box of the newer dialogs (cmb13), or the plain edit field
    // of the older ones (edt1).
    constexpr int kFileNameCombo = 0x47c;
    constexpr int kFileNameEdit = 0x480;
    for (const int id : {kFileNameCombo, kFileNameEdit}) {
        if (GetDlgItem(dialog, id) != nullptr) {
            return SetDlgItemTextW(dialog, id, text.c_str()) ? 0 : 1;
        }
    }
    return 1;
}

int longForm(const std::wstring& path) {
    const DWORD length = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) {
        return 1;
    }
    std::wstring full(length, L'\0');
    const DWORD written = GetLongPathNameW(path.c_str(), full.data(), length);
    if (written == 0 || written >= length) {
        return 1;
    }
    full.resize(written);
    std::printf("%s\n", utf8(full).c_str());
    return 0;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** given = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args(given, given + argc);
    LocalFree(given);
    if (argc == 5 && args[1] == L"host") {
        stopFile = args[4];
        return host(_wtoi(args[2].c_str()), _wtoi(args[3].c_str()));
    }
    if (argc == 3 && args[1] == L"box") {
        return box(args[2]);
    }
    if (argc == 3 && args[1] == L"long") {
        return longForm(args[2]);
    }
    if (argc == 4 && args[1] == L"name") {
        return name(args[2], args[3]);
    }
    std::fprintf(stderr, "usage: wine_window_probe host WIDTH HEIGHT STOPFILE | box CAPTION | "
                         "name CAPTION TEXT | long PATH\n");
    return 2;
}
