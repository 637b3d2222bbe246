#include "renderer/x11_window_watch.h"

#include "renderer/x11_error_handler.h"

#include <X11/Xlib.h>

namespace kovessa {

X11WindowWatch::~X11WindowWatch() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

std::optional<X11WindowWatch::Size> X11WindowWatch::Start(unsigned long window) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        return std::nullopt;
    }
    window_ = window;
    X11ErrorHandler::WatchWindow(window);
    XWindowAttributes attributes{};
    const bool isWindow = XGetWindowAttributes(display_, window, &attributes) != 0;
    // Events from this connection only: the daemon's own selection on the window is its own,
    // and structure events may be selected by any number of clients.
    if (isWindow) {
        XSelectInput(display_, window, StructureNotifyMask);
    }
    XSync(display_, False);
    if (!isWindow || X11ErrorHandler::WatchedWindowGone()) {
        return std::nullopt;
    }
    size_ = {attributes.width, attributes.height};
    return size_;
}

std::optional<X11WindowWatch::Size> X11WindowWatch::PollResize() {
    if (display_ == nullptr) {
        return std::nullopt;
    }
    const Size before = size_;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
            gone_ = true;
        } else if (event.type == ConfigureNotify && event.xconfigure.window == window_) {
            size_ = {event.xconfigure.width, event.xconfigure.height};
        }
    }
    if (size_.width == before.width && size_.height == before.height) {
        return std::nullopt;
    }
    return size_;
}

bool X11WindowWatch::Exists() const {
    XWindowAttributes attributes{};
    return display_ != nullptr && XGetWindowAttributes(display_, window_, &attributes) != 0;
}

bool X11WindowWatch::Gone() const {
    return gone_ || X11ErrorHandler::WatchedWindowGone();
}

} // namespace kovessa
