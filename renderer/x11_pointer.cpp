#include "renderer/x11_pointer.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace kovessa {

std::optional<ScreenPoint> GetCursorPos(SDL_Window* window) {
    if (window == nullptr) {
        return std::nullopt;
    }
    ScreenPoint at;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        // Outside X11 (a native Wayland session) SDL's own global state is the only source.
        SDL_GetGlobalMouseState(&at.x, &at.y);
        return at;
    }
    Display* display = info.info.x11.display;
    Window root = 0;
    Window child = 0;
    int winX = 0;
    int winY = 0;
    unsigned int mask = 0;
    if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &at.x, &at.y, &winX,
                      &winY, &mask) != True) {
        return std::nullopt;
    }
    return at;
}

} // namespace kovessa
