#include "renderer/x11_error_handler.h"

#include "common/problem_report.h"

#include <X11/Xlib.h>

#include <string>

namespace kovessa {

namespace {

unsigned long watchedWindow = 0;
bool watchedWindowGone = false;
bool silent = false;

int OnXError(Display* display, XErrorEvent* error) {
    if (watchedWindow != 0 &&
        (error->resourceid == watchedWindow || error->error_code == BadWindow ||
         error->error_code == BadDrawable)) {
        watchedWindowGone = true;
        return 0;
    }
    if (silent) {
        return 0;
    }
    // One line for the first error; what follows from it would only repeat it.
    silent = true;
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    ReportProblem(std::string("X error ") + text + " (request " +
                  std::to_string(error->request_code) + ")");
    return 0;
}

} // namespace

void X11ErrorHandler::Install() {
    XSetErrorHandler(&OnXError);
}

void X11ErrorHandler::WatchWindow(unsigned long window) {
    watchedWindow = window;
}

bool X11ErrorHandler::WatchedWindowGone() {
    return watchedWindowGone;
}

void X11ErrorHandler::Silence() {
    silent = true;
}

} // namespace kovessa
