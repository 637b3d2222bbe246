#pragma once

namespace kovessa {

// The one X error handler of the renderer, for every connection of the process: SDL's, the
// window watch's and the pointer's. Xlib's own handler would print a dump of several lines and
// end the process, which in a daemon's log reads like a crash. This one says at most one line
// of its own, and stays silent once the renderer has said what failed.
class X11ErrorHandler {
public:
    // Installs the handler. Call before SDL's video set-up: SDL keeps the handler it finds and
    // passes the errors it does not handle itself on to it.
    static void Install();

    // Errors that name `window`, or any window or drawable, mean its owner destroyed it.
    static void WatchWindow(unsigned long window);

    // An X error named the watched window, or any window or drawable while one is watched.
    static bool WatchedWindowGone();

    // The renderer has said what failed: the X errors that follow from it are no news.
    static void Silence();
};

} // namespace kovessa
