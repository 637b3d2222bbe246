// The full-screen show on a desktop with a real window manager from Debian (Openbox) and a
// dock along the top edge, as a panel is: the show covers the dock, not the other way round.
#include "tests/show/show_e2e_support.h"

// GoogleTest before Xlib: Xlib's macros clash with its names.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>

namespace kovessa::test {
namespace {

constexpr int kDockHeight = 40;

bool WindowManagerRunning(Display* dpy) {
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found =
        XGetWindowProperty(dpy, DefaultRootWindow(dpy), check, 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        count == 1;
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}

// A red dock across the top of the screen that reserves its strip, as panels do.
unsigned long MakeDock(Display* dpy, int width) {
    const Window dock =
        XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, static_cast<unsigned>(width),
                            kDockHeight, 0, 0, 0xff0000);
    const Atom windowType = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False);
    Atom dockType = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(dpy, dock, windowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dockType), 1);
    long strut[12] = {0, 0, kDockHeight, 0, 0, 0, 0, 0, 0, width - 1, 0, 0};
    XChangeProperty(dpy, dock, XInternAtom(dpy, "_NET_WM_STRUT_PARTIAL", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(strut), 12);
    XChangeProperty(dpy, dock, XInternAtom(dpy, "_NET_WM_STRUT", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(strut), 4);
    XMapRaised(dpy, dock);
    XSync(dpy, False);
    return dock;
}

int RedPixels(const Image& image) {
    int red = 0;
    for (const Rgb& p : image.pixels) {
        red += p.r > 200 && p.g < 60 && p.b < 60;
    }
    return red;
}

TEST(WindowManagerE2E, TheShowCoversADockUnderOpenbox) {
    if (!fs::exists("/usr/bin/openbox")) {
        GTEST_SKIP() << "openbox is not installed";
    }
    Xvfb xvfb(XvfbOptions{1280, 720});
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    // The panel is there before the window manager, which takes it over at its start.
    MakeDock(dpy, 1280);
    Process openbox = Process::Start("/usr/bin/openbox", {"--sm-disable"}, xvfb);
    ASSERT_TRUE(WaitUntil([&] { return WindowManagerRunning(dpy); }, 20s)) << openbox.StdErr();
    const bool dockShown =
        WaitUntil([&] { return RedPixels(Capture(dpy, 0, 0, 1280, kDockHeight)) > 40000; }, 10s);
    SavePng(Capture(dpy, 0, 0, 1280, 720), ArtifactDir() / "dock.png");
    ASSERT_TRUE(dockShown);

    MovePointerTo(dpy, 640, 400);
    Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder);
    ASSERT_TRUE(WaitUntil([&] { return RendererWindow(dpy) != 0; }, 20s)) << show.StdErr();
    // The show's window fills the whole screen, dock strip included, and is drawn over it.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::optional<Geometry> g = WindowGeometry(dpy, RendererWindow(dpy));
            return g && g->x == 0 && g->y == 0 && g->width == 1280 && g->height == 720;
        },
        10s));
    EXPECT_TRUE(
        WaitUntil([&] { return RedPixels(Capture(dpy, 0, 0, 1280, kDockHeight)) < 100; }, 10s));
    EXPECT_TRUE(WaitUntil([&] { return LitShare(dpy, 640, 360) > 0.9; }, 10s));
    SavePng(Capture(dpy, 0, 0, 1280, 720), ArtifactDir() / "show-over-dock.png");

    show.Kill(SIGTERM);
    EXPECT_EQ(show.WaitExit(2s), 0) << show.StdErr();
    openbox.Kill(SIGTERM);
    openbox.WaitExit(5s);
}

} // namespace
} // namespace kovessa::test
