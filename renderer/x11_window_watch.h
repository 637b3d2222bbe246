#pragma once

#include <optional>

typedef struct _XDisplay Display;

namespace kovessa {

// Watches a screensaver daemon's window that the renderer draws into, on a connection of its
// own: SDL selects no events on a foreign window, so it would never see the window change
// size or go away. Any X error about the window (drawing into it after the daemon destroyed
// it) marks it gone, through the renderer's X error handler (X11ErrorHandler).
class X11WindowWatch {
public:
    struct Size {
        int width = 0;
        int height = 0;
    };

    X11WindowWatch() = default;
    ~X11WindowWatch();
    X11WindowWatch(const X11WindowWatch&) = delete;
    X11WindowWatch& operator=(const X11WindowWatch&) = delete;

    // Opens the connection and starts watching `window`; nullopt when there is no display or
    // `window` is not a window. Gives the window's current size.
    std::optional<Size> Start(unsigned long window);

    // Handles what the server reported since the last call. A new size, when it changed.
    std::optional<Size> PollResize();

    // The window was destroyed, or an X error named it.
    bool Gone() const;

    // Asks the server whether the window is still there (a round trip).
    bool Exists() const;

private:
    Display* display_ = nullptr;
    unsigned long window_ = 0;
    Size size_;
    bool gone_ = false;
};

} // namespace kovessa
