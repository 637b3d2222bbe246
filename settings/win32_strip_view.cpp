#include "settings/win32_strip_view.h"

#include "common/win32_window_class.h"
#include "settings/pixel_surface.h"

#include <windowsx.h>

namespace kovessa {

StripView::StripView(HWND parent, const PixelSurface& frame, const RECT& rect) : frame_(frame) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc =
            &OwnedWindowProc<StripView, &StripView::hwnd_, &StripView::Handle>;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
    hwnd_ = CreateWindowExW(0, kClassName, L"picDisplay", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                            rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                            parent, nullptr, GetModuleHandleW(nullptr), this);
}

StripView::~StripView() {
    DestroyOwnedWindow(hwnd_);
}

void StripView::Show() {
    if (hwnd_ == nullptr) {
        return;
    }
    if (const HDC dc = GetDC(hwnd_); dc != nullptr) {
        Blit(dc);
        ReleaseDC(hwnd_, dc);
    }
}

// The frame reaches the screen in one copy, so the strip never shows a partial frame. The
// surface's pixels are a 32-bit DIB's as they stand: blue, green, red, unused.
void StripView::Blit(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    if (frame_.Width() <= 0 || frame_.Height() <= 0) {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = frame_.Width();
    info.bmiHeader.biHeight = -frame_.Height(); // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, frame_.Width(), frame_.Height(),
                  frame_.Bits(), &info, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT StripView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd_, &paint);
        Blit(dc);
        EndPaint(hwnd_, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(hwnd_);
        return 0;
    case WM_LBUTTONUP: {
        // A click is a left press and release on the strip, as on any picture box.
        RECT client;
        GetClientRect(hwnd_, &client);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool click = pressed_ && PtInRect(&client, at);
        pressed_ = false;
        if (GetCapture() == hwnd_) {
            ReleaseCapture();
        }
        if (click && onClick) {
            onClick();
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace kovessa
