#include "controls/win32_command.h"

#include "common/win32_text.h"
#include "common/win32_window_class.h"
#include "controls/button_face_painter.h"
#include "controls/caption_layout.h"
#include "controls/win32_face_pictures.h"
#include "controls/win32_font.h"

#include <utility>
#include <windowsx.h>

namespace kovessa {
namespace {

constexpr UINT_PTR kMouseTimerId = 1;
constexpr UINT kMouseTimerMs = 100;

// Shows an RgbImage (0x00RRGGBB rows from the top) at 0, 0 of `dc` in one copy.
void ShowImage(HDC dc, const RgbImage& image) {
    if (image.width <= 0 || image.height <= 0) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(image.width), static_cast<DWORD>(image.height),
                      0, 0, 0, static_cast<UINT>(image.height), image.pixels.data(), &info,
                      DIB_RGB_COLORS);
}

} // namespace

Command::Command(HWND parent, int id, const RECT& rect, FontSpec ambientFont)
    : ambientFont_(ambientFont), state_(*this), properties_(state_, *this, ambientFont) {
    RegisterClassOnce();
    caption_ = WideFromUtf8(properties_.Caption());
    font_ = MakeGdiFont(properties_.Font());
    hwnd_ = CreateWindowExW(0, kClassName, caption_.c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED | WS_CLIPSIBLINGS,
                            rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), this);
}

Command::~Command() {
    DestroyOwnedWindow(hwnd_);
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

bool Command::RegisterClassOnce() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        // No CS_DBLCLKS: a quick second press is a press like any other.
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = &OwnedWindowProc<Command, &Command::hwnd_, &Command::Handle>;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

LRESULT Command::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd_, &paint);
        Paint(dc);
        EndPaint(hwnd_, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_SIZE:
        state_.Resize();
        return 0;
    case WM_LBUTTONDOWN:
        // Focus arrives before the press, as a click on a hovered button gives it.
        SetFocus(hwnd_);
        MouseDown(MouseButton::Left);
        return 0;
    case WM_RBUTTONDOWN:
        MouseDown(MouseButton::Right);
        return 0;
    case WM_MBUTTONDOWN:
        MouseDown(MouseButton::Middle);
        return 0;
    case WM_LBUTTONUP:
        MouseUp(MouseButton::Left);
        return 0;
    case WM_RBUTTONUP:
        MouseUp(MouseButton::Right);
        return 0;
    case WM_MBUTTONUP:
        MouseUp(MouseButton::Middle);
        return 0;
    case WM_MOUSEMOVE: {
        // While a button is held the moves come here wherever the pointer is; only those over
        // the button count as arriving on it.
        RECT client;
        GetClientRect(hwnd_, &client);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (state_.Enabled() && PtInRect(&client, at)) {
            state_.MouseMove();
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        return 0;
    case WM_SETFOCUS:
        if (state_.Enabled()) {
            state_.GotFocus();
        }
        return 0;
    case WM_KILLFOCUS:
        if (state_.Enabled()) {
            state_.LostFocus();
        }
        return 0;
    case WM_TIMER:
        if (wParam == kMouseTimerId) {
            TmrMouse_Timer();
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        // The button has no keys of its own: Tab moves on, Space and Enter do nothing here.
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Command::MouseDown(MouseButton button) {
    if (!state_.Enabled()) {
        return;
    }
    // The button keeps the mouse from the press, so the release reaches it wherever it is.
    SetCapture(hwnd_);
    state_.MouseDown(button);
}

void Command::MouseUp(MouseButton button) {
    if (GetCapture() == hwnd_ && (GetKeyState(VK_LBUTTON) & 0x8000) == 0 &&
        (GetKeyState(VK_RBUTTON) & 0x8000) == 0 && (GetKeyState(VK_MBUTTON) & 0x8000) == 0) {
        ReleaseCapture();
    }
    if (!state_.Enabled()) {
        return;
    }
    state_.MouseUp(button);
}

void Command::TmrMouse_Timer() {
    // Any other window under the pointer, the host's or another program's laid over it, means
    // the pointer has left; the caption has no window, so over it is over the button.
    POINT at;
    const bool over = GetCursorPos(&at) != 0 && WindowFromPoint(at) == hwnd_;
    if (state_.Enabled()) {
        state_.MouseTimerTick(over);
    }
}

bool Command::Enabled() {
    const bool enabled = properties_.Enabled();
    SyncWindowEnabled();
    return enabled;
}

void Command::SetEnabled(bool enabled) {
    properties_.SetEnabled(enabled);
    SyncWindowEnabled();
}

void Command::ReadProperties(const PropertyBag& bag) {
    properties_.ReadProperties(bag, ambientFont_);
    SyncWindowEnabled();
}

void Command::WriteProperties(PropertyBag& bag) {
    properties_.WriteProperties(bag, ambientFont_);
}

void Command::Initialize() {
    state_.Initialize();
}

// A disabled button takes neither the mouse nor the focus, so Tab passes it by.
void Command::SyncWindowEnabled() {
    if (hwnd_ != nullptr) {
        EnableWindow(hwnd_, state_.Enabled() ? TRUE : FALSE);
    }
}

void Command::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) {
        return;
    }
    // Composed off screen and shown in one copy, so the face never flickers.
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    if (opaque_ && !face_.pixels.empty()) {
        ShowImage(memory, face_);
    } else {
        // A transparent button shows its host's background, as the host paints it.
        const HWND parent = GetParent(hwnd_);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(parent, WM_CTLCOLORBTN,
                                                           reinterpret_cast<WPARAM>(memory),
                                                           reinterpret_cast<LPARAM>(hwnd_)));
        FillRect(memory, &client,
                 brush != nullptr ? brush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    if (!caption_.empty()) {
        const HGDIOBJ oldFont = SelectObject(memory, font_);
        TEXTMETRICW metrics{};
        GetTextMetricsW(memory, &metrics);
        const int labelHeight = metrics.tmHeight + 2;
        RECT label{0, CaptionTop(height, labelHeight), width,
                   CaptionTop(height, labelHeight) + labelHeight};
        SetBkMode(memory, TRANSPARENT);
        SetTextColor(memory, captionEnabled_ ? captionColour_ : GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(memory, caption_.c_str(), static_cast<int>(caption_.size()), &label,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(memory, oldFont);
    }
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void Command::DrawFace(FacePicture picture, bool hoverGradient) {
    currentFace_ = picture;
    RECT client{};
    if (hwnd_ != nullptr) {
        GetClientRect(hwnd_, &client);
    }
    RgbImage target(client.right, client.bottom);
    PaintButtonFace(target, FacePictureImage(picture), hoverGradient);
    face_ = std::move(target);
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Command::SetCaptionEnabled(bool enabled) {
    captionEnabled_ = enabled;
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Command::SetCaptionText(const std::string& text) {
    caption_ = WideFromUtf8(text);
    if (hwnd_ != nullptr) {
        // The window's own text too, so that accessibility tools and window lists read it.
        SetWindowTextW(hwnd_, caption_.c_str());
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Command::SetCaptionFont(const FontSpec& font) {
    if (HFONT made = MakeGdiFont(font); made != nullptr) {
        if (font_ != nullptr) {
            DeleteObject(font_);
        }
        font_ = made;
    }
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Command::SetCaptionColour(uint32_t colour) {
    captionColour_ = static_cast<COLORREF>(colour & 0xFFFFFFu);
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Command::SetOpaqueBackground(bool opaque) {
    opaque_ = opaque;
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Command::StartMouseTimer() {
    if (hwnd_ != nullptr && !timerRunning_) {
        timerRunning_ = SetTimer(hwnd_, kMouseTimerId, kMouseTimerMs, nullptr) != 0;
    }
}

void Command::RaiseClick() {
    if (onClick) {
        onClick();
    }
}

void Command::NotifyChanged(std::string_view) {
    // The dialog keeps no design of its own to mark as modified.
}

} // namespace kovessa
