// The harness is what every end-to-end test stands on, so its own promises are checked here:
// a server comes up, windows are found by exact title, input arrives, pixels read back.
#include "tests/harness/harness.h"

// GoogleTest first: Xlib defines macros (None, Bool) that clash with its names.
#include <gtest/gtest.h>
#include <X11/Xlib.h>

namespace kovessa::test {
namespace {

TEST(Harness, FindsWindowsByExactTitleIncludingUnmapped) {
    Xvfb xvfb;
    Display* dpy = xvfb.Connection();
    const unsigned long shown = CreateForeignWindow(dpy, 40, 30, {}, "Zeruma_Main");
    const Window hidden = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 5, 5, 0, 0, 0);
    XStoreName(dpy, hidden, "<Kovessa>");
    XSync(dpy, False);

    EXPECT_EQ(FindWindows(dpy, "Zeruma_Main"), std::vector<unsigned long>{shown});
    EXPECT_EQ(FindWindows(dpy, "<Kovessa>"), std::vector<unsigned long>{hidden});
    EXPECT_TRUE(FindWindows(dpy, "Zeruma").empty());
    EXPECT_TRUE(FindWindows(dpy, "zeruma_main").empty());
    EXPECT_FALSE(IsWindowViewable(dpy, hidden));
    DestroyForeignWindow(dpy, shown);
    EXPECT_TRUE(FindWindows(dpy, "Zeruma_Main").empty());
}

TEST(Harness, ReadsBackWhatIsOnScreenAndMovesThePointer) {
    Xvfb xvfb(XvfbOptions{640, 480});
    Display* dpy = xvfb.Connection();
    const unsigned long w = CreateForeignWindow(dpy, 100, 80, Rgb{200, 10, 30});
    ASSERT_TRUE(WaitUntil([&] { return PixelAt(dpy, 50, 40) == Rgb{200, 10, 30}; }, 2s));
    EXPECT_EQ(PixelAt(dpy, 150, 40), Rgb{});
    const Image image = CaptureWindow(dpy, w);
    EXPECT_EQ(image.width, 100);
    EXPECT_EQ(image.At(99, 79), (Rgb{200, 10, 30}));

    MovePointerTo(dpy, 100, 100);
    MovePointerBy(dpy, 31, -7);
    EXPECT_EQ(PointerPosition(dpy), (std::pair{131, 93}));
}

TEST(Harness, DeliversCloseRequestsToTheWindowOwner) {
    Xvfb xvfb(XvfbOptions{320, 240});
    Display* dpy = xvfb.Connection();
    const unsigned long w = CreateForeignWindow(dpy, 10, 10);
    SendCloseRequest(dpy, w);
    XEvent event{};
    ASSERT_TRUE(
        WaitUntil([&] { return XCheckTypedWindowEvent(dpy, w, ClientMessage, &event); }, 2s));
    EXPECT_EQ(static_cast<Atom>(event.xclient.data.l[0]),
              XInternAtom(dpy, "WM_DELETE_WINDOW", False));
}

TEST(Harness, StartsProgramsAndReportsTheirEnd) {
    Xvfb xvfb(XvfbOptions{320, 240});
    Process quick =
        Process::Start("/bin/sh", {"-c", "echo \"$DISPLAY\"; echo oops >&2; exit 3"}, xvfb);
    ASSERT_EQ(quick.WaitExit(5s), 3);
    EXPECT_EQ(quick.StdOut(), xvfb.DisplayName() + "\n");
    EXPECT_EQ(quick.StdErr(), "oops\n");

    Process slow = Process::Start("/bin/sleep", {"30"}, xvfb);
    EXPECT_FALSE(slow.WaitExit(50ms).has_value());
    slow.Kill(SIGTERM);
    EXPECT_EQ(slow.WaitExit(5s), 128 + SIGTERM);
}

} // namespace
} // namespace kovessa::test
