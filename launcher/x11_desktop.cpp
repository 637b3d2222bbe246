#include "launcher/x11_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstring>
#include <vector>

namespace kovessa::x11 {

namespace {

// Catches the errors of a stretch of Xlib calls instead of letting Xlib's default handler end
// the process (a window can vanish at any moment, and a /p argument can name anything). The
// destructor waits for the server's answers, so every error of the stretch is counted.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* dpy) : dpy_(dpy) {
        XSync(dpy_, False);
        errors_ = 0;
        previous_ = XSetErrorHandler(&ErrorTrap::Handler);
    }
    ~ErrorTrap() {
        XSync(dpy_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool Failed() {
        XSync(dpy_, False);
        return errors_ != 0;
    }

private:
    static int Handler(Display*, XErrorEvent*) {
        ++errors_;
        return 0;
    }

    Display* dpy_;
    int (*previous_)(Display*, XErrorEvent*) = nullptr;
    static inline int errors_ = 0;
};

bool FixesReady(Display* dpy) {
    static Display* announcedOn = nullptr;
    if (announcedOn == dpy) {
        return true;
    }
    int event = 0, error = 0, major = 4, minor = 0;
    // The server accepts the pointer requests only from a client that has announced its
    // version of the extension.
    if (!XFixesQueryExtension(dpy, &event, &error) || !XFixesQueryVersion(dpy, &major, &minor) ||
        major < 4) {
        return false;
    }
    announcedOn = dpy;
    return true;
}

std::string Property(Display* dpy, Window w, Atom name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(dpy, w, name, 0, 1024, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && format == 8) {
        text.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return text;
}

Window FindIn(Display* dpy, Window w, const std::string& title, Atom netName, int depth) {
    if (Property(dpy, w, XA_WM_NAME) == title || Property(dpy, w, netName) == title) {
        return w;
    }
    // Real trees are a few levels deep; the bound only guards against a hostile one.
    if (depth > 64) {
        return 0;
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &count)) {
        return 0;
    }
    std::vector<Window> list(children, children + count);
    if (children != nullptr) {
        XFree(children);
    }
    for (Window child : list) {
        if (const Window found = FindIn(dpy, child, title, netName, depth + 1)) {
            return found;
        }
    }
    return 0;
}

} // namespace

Display* XDisplay() {
    static Display* const dpy = XOpenDisplay(nullptr);
    return dpy;
}

std::optional<ScreenPoint> GetCursorPos() {
    Display* dpy = XDisplay();
    if (dpy == nullptr) {
        return std::nullopt;
    }
    Window root = 0, child = 0;
    int x = 0, y = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    // No error trap: the root window cannot vanish, so the query cannot fail with an error,
    // and a trap would cost two more round trips each time.
    if (!XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &x, &y, &winX, &winY, &mask)) {
        return std::nullopt;
    }
    return ScreenPoint{x, y};
}

void HideCursor() {
    Display* dpy = XDisplay();
    if (dpy == nullptr || !FixesReady(dpy)) {
        return;
    }
    XFixesHideCursor(dpy, DefaultRootWindow(dpy));
    XFlush(dpy);
}

void ShowCursor() {
    Display* dpy = XDisplay();
    if (dpy == nullptr || !FixesReady(dpy)) {
        return;
    }
    XFixesShowCursor(dpy, DefaultRootWindow(dpy));
    XFlush(dpy);
}

unsigned long FindWindowByTitle(const std::string& title) {
    Display* dpy = XDisplay();
    if (dpy == nullptr) {
        return 0;
    }
    ErrorTrap trap(dpy);
    const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    return FindIn(dpy, DefaultRootWindow(dpy), title, netName, 0);
}

std::optional<ScreenRect> GetWindowRect(unsigned long window) {
    Display* dpy = XDisplay();
    if (dpy == nullptr || window == 0) {
        return std::nullopt;
    }
    ErrorTrap trap(dpy);
    XWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    if (!XGetWindowAttributes(dpy, window, &attributes) || trap.Failed()) {
        return std::nullopt;
    }
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(dpy, window, attributes.root, 0, 0, &x, &y, &child) ||
        trap.Failed()) {
        return std::nullopt;
    }
    return ScreenRect{x, y, x + attributes.width, y + attributes.height};
}

unsigned long ScreenRootWindow() {
    Display* dpy = XDisplay();
    return dpy == nullptr ? 0 : DefaultRootWindow(dpy);
}

bool ClaimSelection(const std::string& name) {
    Display* dpy = XDisplay();
    if (dpy == nullptr) {
        return false;
    }
    // Owning a selection is last-one-wins; the server grab makes look-and-take one step, so of
    // two instances started at the same instant exactly one gets it.
    const Atom selection = XInternAtom(dpy, name.c_str(), False);
    const Window owner = XCreateWindow(dpy, DefaultRootWindow(dpy), -1, -1, 1, 1, 0, 0, InputOnly,
                                       CopyFromParent, 0, nullptr);
    XGrabServer(dpy);
    bool claimed = false;
    if (XGetSelectionOwner(dpy, selection) == None) {
        XSetSelectionOwner(dpy, selection, owner, CurrentTime);
        claimed = XGetSelectionOwner(dpy, selection) == owner;
    }
    XUngrabServer(dpy);
    if (!claimed) {
        XDestroyWindow(dpy, owner);
    }
    XFlush(dpy);
    return claimed;
}

} // namespace kovessa::x11
