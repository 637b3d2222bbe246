#include "renderer/win32_renderer_window.h"

#include "common/win32_text.h"
#include "common/window_titles.h"
#include "renderer/gl_scene_painter.h"

#include <GL/gl.h>

namespace kovessa {

namespace {

constexpr const char* kErrorCaption = "Error";
constexpr const wchar_t* kWindowClass = L"OpenGL";
constexpr const wchar_t* kCoverClass = L"KovessaCover";

// The one renderer window of the process, for its window procedure.
RendererWindow* theWindow = nullptr;

bool Fail(RendererWindow& window, MessageSink& messages, const char* text) {
    DestroyRendererWindow(window, messages);
    messages.ShowMessage(text, kErrorCaption, MessageIcon::Stop);
    return false;
}

using SwapIntervalProc = BOOL(WINAPI*)(int);

// Asks the driver to make SwapBuffers wait for the vertical blank, where it offers the
// extension; true when it agreed.
bool AskForVsync() {
    const PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
    if (proc == nullptr) {
        return false;
    }
    const auto swapInterval = reinterpret_cast<SwapIntervalProc>(reinterpret_cast<void*>(proc));
    return swapInterval(1) != FALSE;
}

LRESULT CALLBACK CoverWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Closing any part of the show ends all of it.
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

BOOL CALLBACK AddCover(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& window = *reinterpret_cast<RendererWindow*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info) || (info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
        return TRUE;
    }
    const RECT& r = info.rcMonitor;
    const HWND cover = CreateWindowExW(
        WS_EX_TOOLWINDOW, kCoverClass, WideFromUtf8(kRendererWindowTitle).c_str(), WS_POPUP, r.left,
        r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, window.instance, nullptr);
    if (cover != nullptr) {
        window.covers.push_back(cover);
    }
    return TRUE;
}

// One black window on every monitor but the primary one: one scene is drawn, on the primary
// monitor, and the rest of the desk stays dark rather than showing the desktop.
void CoverOtherMonitors(RendererWindow& window) {
    WNDCLASSW coverClass{};
    coverClass.lpfnWndProc = CoverWndProc;
    coverClass.hInstance = window.instance;
    coverClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    coverClass.lpszClassName = kCoverClass;
    window.coverClassRegistered = RegisterClassW(&coverClass) != 0;
    if (!window.coverClassRegistered) {
        return;
    }
    EnumDisplayMonitors(nullptr, nullptr, AddCover, reinterpret_cast<LPARAM>(&window));
    for (const HWND cover : window.covers) {
        ShowWindow(cover, SW_SHOWNOACTIVATE);
    }
}

} // namespace

bool CreateRendererWindow(RendererWindow& window, uint8_t colourBits, MessageSink& messages) {
    theWindow = &window;
    window.instance = GetModuleHandleW(nullptr);

    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = RendererWndProc;
    windowClass.hInstance = window.instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassW(&windowClass) == 0) {
        messages.ShowMessage("Failed to register the window class!", kErrorCaption,
                             MessageIcon::Stop);
        return false;
    }

    // The whole primary monitor in real pixels: the maximised-window size would leave the
    // taskbar showing below the show.
    window.WindowWidth = GetSystemMetrics(SM_CXSCREEN);
    window.WindowHeight = GetSystemMetrics(SM_CYSCREEN);
    window.WindowHandle = CreateWindowExW(
        WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, kWindowClass,
        WideFromUtf8(kRendererWindowTitle).c_str(), WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
        0, window.WindowWidth, window.WindowHeight, nullptr, nullptr, window.instance, nullptr);
    if (window.WindowHandle == nullptr) {
        return Fail(window, messages, "Unable to create window!");
    }
    window.DeviceContext = GetDC(window.WindowHandle);
    if (window.DeviceContext == nullptr) {
        return Fail(window, messages, "Unable to get a device context!");
    }

    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = colourBits;
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;
    const int chosen = ChoosePixelFormat(window.DeviceContext, &format);
    if (chosen == 0) {
        return Fail(window, messages, "Unable to find a suitable pixel format");
    }
    if (!SetPixelFormat(window.DeviceContext, chosen, &format)) {
        return Fail(window, messages, "Unable to set the pixel format");
    }
    window.RenderContext = wglCreateContext(window.DeviceContext);
    if (window.RenderContext == nullptr) {
        return Fail(window, messages, "Unable to create an OpenGL rendering context");
    }
    if (!wglMakeCurrent(window.DeviceContext, window.RenderContext)) {
        return Fail(window, messages, "Unable to activate OpenGL rendering context");
    }
    window.vsync = AskForVsync();
    window.refreshRate = GetDeviceCaps(window.DeviceContext, VREFRESH);
    // 0 and 1 stand for the hardware's default rate, which the system does not name.
    if (window.refreshRate <= 1) {
        window.refreshRate = 0;
    }

    CoverOtherMonitors(window);
    ShowWindow(window.WindowHandle, SW_SHOW);
    SetForegroundWindow(window.WindowHandle);
    SetFocus(window.WindowHandle);
    ResizeScene(window.WindowWidth, window.WindowHeight);
    return true;
}

void DestroyRendererWindow(RendererWindow& window, MessageSink& messages) {
    // Without a context there is nothing to release; the box would only be noise before the
    // creation step's own.
    if (window.RenderContext != nullptr) {
        if (!wglMakeCurrent(window.DeviceContext, nullptr)) {
            messages.ShowMessage("Release of DC and RC failed!", kErrorCaption, MessageIcon::Stop);
        }
        if (!wglDeleteContext(window.RenderContext)) {
            messages.ShowMessage("Release of rendering context failed!", kErrorCaption,
                                 MessageIcon::Stop);
        }
        window.RenderContext = nullptr;
    }
    if (window.DeviceContext != nullptr) {
        if (!ReleaseDC(window.WindowHandle, window.DeviceContext)) {
            messages.ShowMessage("Release of device context failed!", kErrorCaption,
                                 MessageIcon::Stop);
        }
        window.DeviceContext = nullptr;
    }
    if (window.WindowHandle != nullptr) {
        if (!DestroyWindow(window.WindowHandle)) {
            messages.ShowMessage("Unable to destroy window!", kErrorCaption, MessageIcon::Stop);
        }
        window.WindowHandle = nullptr;
    }
    for (const HWND cover : window.covers) {
        DestroyWindow(cover);
    }
    window.covers.clear();
    if (window.coverClassRegistered) {
        UnregisterClassW(kCoverClass, window.instance);
        window.coverClassRegistered = false;
    }
    if (window.instance != nullptr && !UnregisterClassW(kWindowClass, window.instance)) {
        messages.ShowMessage("Unable to unregister window class!", kErrorCaption,
                             MessageIcon::Stop);
        window.instance = nullptr;
    }
}

LRESULT CALLBACK RendererWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_SIZE:
        // The first size arrives while the window is made, before there is a context to set.
        if (theWindow != nullptr && theWindow->RenderContext != nullptr) {
            ResizeScene(LOWORD(lParam), HIWORD(lParam));
        }
        return 0;
    case WM_CLOSE:
        // The loop ends at its next pass; the teardown destroys the window.
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (theWindow != nullptr && theWindow->keys != nullptr) {
            theWindow->keys->Press(static_cast<int>(wParam & 0xFF));
        }
        return 0;
    case WM_KEYUP:
        if (theWindow != nullptr && theWindow->keys != nullptr) {
            theWindow->keys->Release(static_cast<int>(wParam & 0xFF));
        }
        return 0;
    default:
        // System keys (with Alt) and the mouse end nothing by themselves.
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace kovessa
