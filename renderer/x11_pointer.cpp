#include "renderer/x11_pointer.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace kovessa {

bool GetCursorPos(SDL_Window* window, int& x, int& y) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        // Outside X11 (a native Wayland session) SDL's own global state is the only source.
        SDL_GetGlobalMouseState(&x, &y);
        return window != nullptr;
    }
    Display* display = info.info.x11.display;
    Window root = 0;
    Window child = 0;
    int winX = 0;
    int winY = 0;
    unsigned int mask = 0;
    return XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &winX, &winY,
                         &mask) == True;
}

} // namespace kovessa
