#include "renderer/sdl_renderer_window.h"

#include "common/problem_report.h"
#include "common/window_titles.h"
#include "renderer/gl_scene_painter.h"
#include "renderer/x11_error_handler.h"

#include <string>

namespace kovessa {

namespace {

constexpr const char* kErrorCaption = "Error";

void Release(RendererWindow& window, MessageSink* messages);

// Reports the failure and releases what was made. In a daemon's window the failure is kept
// for the caller's one line; what the release runs into after it is no news.
bool Fail(RendererWindow& window, MessageSink& messages, const char* text) {
    const std::string reason = SDL_GetError();
    X11ErrorHandler::Silence();
    if (window.foreign) {
        window.failure = std::string(text) + " (" + reason + ")";
        Release(window, nullptr);
        return false;
    }
    ReportProblem(reason);
    Release(window, &messages);
    messages.ShowMessage(text, kErrorCaption, MessageIcon::Stop);
    return false;
}

// The context for the window, made current, and whether the swap waits for the vertical blank.
bool MakeContext(RendererWindow& window, MessageSink& messages) {
    window.RenderContext = SDL_GL_CreateContext(window.WindowHandle);
    if (window.RenderContext == nullptr) {
        return Fail(window, messages, "Unable to create an OpenGL rendering context");
    }
    if (SDL_GL_MakeCurrent(window.WindowHandle, window.RenderContext) != 0) {
        return Fail(window, messages, "Unable to activate OpenGL rendering context");
    }
    // The swap paces the frames where the driver can wait for the vertical blank.
    window.vsync = SDL_GL_SetSwapInterval(1) == 0;
    return true;
}

bool InitVideo(MessageSink& messages) {
    // A screensaver must never keep the screensaver that runs it from starting, which SDL
    // does by default for every window it makes.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ReportProblem(SDL_GetError());
        messages.ShowMessage("Failed to register the window class!", kErrorCaption,
                             MessageIcon::Stop);
        return false;
    }
    return true;
}

void FillBlack(SDL_Window* cover) {
    if (SDL_Surface* surface = SDL_GetWindowSurface(cover)) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        SDL_UpdateWindowSurface(cover);
    }
}

// One black full-screen window on every monitor but the first: one scene is drawn, on the
// primary monitor, and the rest of the desk stays dark rather than showing the desktop.
void CoverOtherMonitors(RendererWindow& window) {
    const int displays = SDL_GetNumVideoDisplays();
    for (int i = 1; i < displays; ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) != 0) {
            continue;
        }
        SDL_Window* cover = SDL_CreateWindow(
            kRendererWindowTitle, bounds.x, bounds.y, bounds.w, bounds.h,
            SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SKIP_TASKBAR);
        if (cover == nullptr) {
            continue;
        }
        FillBlack(cover);
        window.covers.push_back(cover);
    }
}

} // namespace

bool CreateRendererWindow(RendererWindow& window, uint8_t colourBits, MessageSink& messages) {
    if (!InitVideo(messages)) {
        return false;
    }

    SDL_Rect screen{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(0, &screen) != 0) {
        screen = SDL_Rect{0, 0, 1024, 768};
    }
    window.WindowWidth = screen.w;
    window.WindowHeight = screen.h;
    SDL_DisplayMode mode;
    window.refreshRate = SDL_GetCurrentDisplayMode(0, &mode) == 0 ? mode.refresh_rate : 0;

    // A 32-bit pixel is eight bits for each of red, green and blue and no alpha channel: the
    // window then uses the screen's own visual, as an opaque show should.
    const int channelBits = colourBits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

    // Full-screen state, not a mode change: a window manager then keeps the show above its
    // panels and docks, and the monitor keeps its resolution.
    window.WindowHandle = SDL_CreateWindow(kRendererWindowTitle, screen.x, screen.y,
                                           window.WindowWidth, window.WindowHeight,
                                           SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS |
                                               SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_HIDDEN);
    if (window.WindowHandle == nullptr) {
        return Fail(window, messages, "Unable to create window!");
    }
    if (!MakeContext(window, messages)) {
        return false;
    }

    CoverOtherMonitors(window);
    SDL_ShowWindow(window.WindowHandle);
    SDL_RaiseWindow(window.WindowHandle);
    SDL_SetWindowInputFocus(window.WindowHandle);
    ResizeScene(window.WindowWidth, window.WindowHeight);
    return true;
}

bool CreateRendererWindowIn(RendererWindow& window, unsigned long xWindow, int width, int height,
                            MessageSink& messages) {
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    if (!InitVideo(messages)) {
        return false;
    }
    window.foreign = true;
    window.WindowWidth = width;
    window.WindowHeight = height;
    SDL_DisplayMode mode;
    window.refreshRate = SDL_GetCurrentDisplayMode(0, &mode) == 0 ? mode.refresh_rate : 0;
    // No profile and no channel sizes: SDL then makes a GL 1.x context from the window's own
    // visual, which the daemon chose for GL. Asking for anything else would need another
    // visual, which a window that is not ours cannot change.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    window.WindowHandle = SDL_CreateWindowFrom(reinterpret_cast<const void*>(xWindow));
    if (window.WindowHandle == nullptr) {
        return Fail(window, messages, "Unable to create window!");
    }
    if (!MakeContext(window, messages)) {
        return false;
    }
    ResizeScene(width, height);
    return true;
}

void RepaintCover(RendererWindow& window, uint32_t windowId) {
    for (SDL_Window* cover : window.covers) {
        if (SDL_GetWindowID(cover) == windowId) {
            FillBlack(cover);
        }
    }
}

void DestroyRendererWindow(RendererWindow& window, MessageSink& messages) {
    Release(window, &messages);
}

namespace {

// DestroyRendererWindow, saying nothing when `messages` is null.
void Release(RendererWindow& window, MessageSink* messages) {
    if (window.RenderContext != nullptr) {
        if (SDL_GL_MakeCurrent(window.WindowHandle, nullptr) != 0 && messages != nullptr) {
            messages->ShowMessage("Release of DC and RC failed!", kErrorCaption, MessageIcon::Stop);
        }
        SDL_GL_DeleteContext(window.RenderContext);
        window.RenderContext = nullptr;
    }
    // SDL leaves a foreign window itself alone when it lets go of it.
    if (window.WindowHandle != nullptr) {
        SDL_DestroyWindow(window.WindowHandle);
        window.WindowHandle = nullptr;
    }
    for (SDL_Window* cover : window.covers) {
        SDL_DestroyWindow(cover);
    }
    window.covers.clear();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace

} // namespace kovessa
