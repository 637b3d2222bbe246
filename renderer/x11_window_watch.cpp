#include "renderer/x11_window_watch.h"

#include "common/problem_report.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <string>

namespace kovessa {

namespace {

bool windowGone = false;
unsigned long watchedWindow = 0;

int OnXError(Display* display, XErrorEvent* error) {
    if (error->resourceid == watchedWindow || error->error_code == BadWindow ||
        error->error_code == BadDrawable) {
        windowGone = true;
        return 0;
    }
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    ReportProblem(std::string("X error ") + text + " (request " +
                  std::to_string(error->request_code) + ")");
    return 0;
}

} // namespace

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
    watchedWindow = window;
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(&OnXError);
    XWindowAttributes attributes{};
    const bool isWindow = XGetWindowAttributes(display_, window, &attributes) != 0;
    // Events from this connection only: the daemon's own selection on the window is its own,
    // and structure events may be selected by any number of clients.
    if (isWindow) {
        XSelectInput(display_, window, StructureNotifyMask);
    }
    XSync(display_, False);
    XSetErrorHandler(previous);
    if (!isWindow || windowGone) {
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
            windowGone = true;
        } else if (event.type == ConfigureNotify && event.xconfigure.window == window_) {
            size_ = {event.xconfigure.width, event.xconfigure.height};
        }
    }
    if (size_.width == before.width && size_.height == before.height) {
        return std::nullopt;
    }
    return size_;
}

bool X11WindowWatch::Gone() {
    return windowGone;
}

void X11WindowWatch::TakeOverErrors() {
    XSetErrorHandler(&OnXError);
}

} // namespace kovessa
