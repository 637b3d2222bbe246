#include "show/win32_zeruma_r.h"

#include "common/win32_text.h"
#include "common/win32_window_class.h"
#include "common/window_titles.h"
#include "launcher/process_end.h"
#include "show/embedded_pictures.h"

#include <algorithm>
#include <vector>

namespace kovessa {

namespace {

constexpr const wchar_t* kWindowClass = L"Kovessa.Zeruma_R";
constexpr UINT_PTR kParentTimer = 1;
constexpr UINT kParentCheckMs = 250;

} // namespace

Zeruma_R::Zeruma_R() : picture_(PreviewPixels()) {}

bool Zeruma_R::Load() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc =
        &OwnedWindowProc<Zeruma_R, &Zeruma_R::window_, &Zeruma_R::HandleMessage>;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    // IDC_ARROW, spelled for the wide call.
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    // Borderless and not shown until Main has made it a child of the preview area.
    window_ = CreateWindowExW(0, kWindowClass, WideFromUtf8(kPreviewWindowTitle).c_str(), WS_POPUP,
                              0, 0, 0, 0, nullptr, nullptr, instance, this);
    return window_ != nullptr;
}

void Zeruma_R::SetImgPrevSize(int widthPixels, int heightPixels) {
    imgPrevWidth_ = std::max(0, widthPixels);
    imgPrevHeight_ = std::max(0, heightPixels);
    InvalidateRect(window_, nullptr, TRUE);
}

void Zeruma_R::WatchParent(HWND parent) {
    parent_ = parent;
    SetTimer(window_, kParentTimer, kParentCheckMs, nullptr);
}

LRESULT Zeruma_R::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_TIMER:
        if (wParam == kParentTimer && !IsWindow(parent_)) {
            EndProcessAtOnce(0);
        }
        return 0;
    case WM_DESTROY:
        // Destroyed with its parent: no window of the program is left, so the process ends.
        EndProcessAtOnce(0);
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Zeruma_R::paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(window_, &ps);
    const int width = std::min(picture_.width, imgPrevWidth_);
    const int height = std::min(picture_.height, imgPrevHeight_);
    if (width > 0 && height > 0 && picture_.IsValid()) {
        // The top-left part of the picture that the picture control shows, as a top-down
        // bitmap: blue-green-red, each row padded to four bytes.
        const int stride = (width * 3 + 3) & ~3;
        std::vector<uint8_t> bgr(static_cast<size_t>(stride) * height, 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const size_t from = (static_cast<size_t>(y) * picture_.width + x) * 3;
                const size_t to = static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
                bgr[to] = picture_.rgb[from + 2];
                bgr[to + 1] = picture_.rgb[from + 1];
                bgr[to + 2] = picture_.rgb[from];
            }
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, bgr.data(), &info,
                      DIB_RGB_COLORS, SRCCOPY);
    }
    EndPaint(window_, &ps);
}

} // namespace kovessa
