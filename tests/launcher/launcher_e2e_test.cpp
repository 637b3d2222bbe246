// Kovessa.scr started the way a desktop starts a screensaver: each switch, with and without the
// renderer beside it, beside live windows of the system, and with preview ids that are no
// window at all.
#include "tests/harness/harness.h"

// GoogleTest first: Xlib defines macros (None, Bool) that clash with its names.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <csignal>
#include <fstream>

namespace kovessa::test {
namespace {

constexpr const char* kBoxCaption = "Kovessa(ScreenSaver)";

// The renderer file only has to be there for these starts; none of them runs it.
void EnsureRendererFile(const ProgramFolder& folder) {
    if (!fs::exists(folder.Renderer())) {
        std::ofstream(folder.Renderer()) << "placeholder";
    }
}

// Any window the screensaver program could have made, apart from `except` (the test's own).
bool AnyWindowOfTheSystem(Display* dpy, unsigned long except = 0) {
    for (const char* title : {"Zeruma_Main", "<Kovessa>", "Preview Window", kBoxCaption}) {
        for (unsigned long w : FindWindows(dpy, title)) {
            if (w != except) {
                return true;
            }
        }
    }
    return false;
}

TEST(LauncherE2E, MissingRendererShowsTheBoxUntilItIsClosed) {
    Xvfb xvfb(XvfbOptions{800, 600});
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    folder.RemoveRenderer();
    struct Case {
        std::vector<std::string> args;
        bool closeByKey;
    };
    const Case cases[] = {{{"/c"}, false}, {{"/s"}, true}, {{}, false}};
    for (const Case& c : cases) {
        const std::string label = c.args.empty() ? "(empty)" : c.args[0];
        Process scr = Process::Start(folder.Scr(), c.args, xvfb, &folder);
        std::vector<unsigned long> boxes;
        ASSERT_TRUE(WaitUntil(
            [&] {
                boxes = FindWindows(dpy, kBoxCaption);
                return !boxes.empty() && IsWindowViewable(dpy, boxes.front());
            },
            10s))
            << label << ": " << scr.StdErr();
        // The box waits for the user.
        EXPECT_FALSE(scr.WaitExit(300ms).has_value()) << label;
        EXPECT_TRUE(FindWindows(dpy, "Zeruma_Main").empty()) << label;
        EXPECT_TRUE(FindWindows(dpy, "<Kovessa>").empty()) << label;
        if (c.closeByKey) {
            TapKey(dpy, XK_Return);
        } else {
            SendCloseRequest(dpy, boxes.front());
        }
        EXPECT_EQ(scr.WaitExit(10s), 0) << label << ": " << scr.StdErr();
    }
}

TEST(LauncherE2E, PreviewNeedsNoRendererAndEmbedsInItsParent) {
    Xvfb xvfb(XvfbOptions{800, 600});
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    folder.RemoveRenderer();
    const unsigned long parent = CreateForeignWindow(dpy, 152, 112);
    Process scr = Process::Start(folder.Scr(), {"/p", std::to_string(parent)}, xvfb, &folder);
    std::vector<unsigned long> previews;
    ASSERT_TRUE(WaitUntil(
        [&] {
            previews = FindWindows(dpy, "Preview Window");
            return !previews.empty() && IsWindowViewable(dpy, previews.front());
        },
        10s))
        << scr.StdErr();
    EXPECT_TRUE(FindWindows(dpy, kBoxCaption).empty());

    const std::optional<unsigned long> xParent = ParentOf(dpy, previews.front());
    ASSERT_TRUE(xParent);
    EXPECT_EQ(*xParent, parent);
    const std::optional<Geometry> inner = WindowGeometry(dpy, previews.front());
    const std::optional<Geometry> outer = WindowGeometry(dpy, parent);
    ASSERT_TRUE(inner && outer);
    EXPECT_EQ(inner->x, outer->x);
    EXPECT_EQ(inner->y, outer->y);
    EXPECT_EQ(inner->width, 152);
    EXPECT_EQ(inner->height, 112);

    // A polite request to stop unloads the preview and ends the process normally.
    scr.Kill(SIGTERM);
    EXPECT_EQ(scr.WaitExit(10s), 0) << scr.StdErr();
}

TEST(LauncherE2E, AnyLiveWindowOfTheSystemEndsEveryStartAtOnce) {
    Xvfb xvfb(XvfbOptions{800, 600});
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    EnsureRendererFile(folder);
    for (const char* title : {"<Kovessa>", "Zeruma_Main", "Zeruma_Pelios"}) {
        // Unmapped, as the hidden show window is: the guard must find it all the same.
        const Window live = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
        XStoreName(dpy, live, title);
        XSync(dpy, False);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"/p", "1234"}, {"/s"}, {"/c"}, {}}) {
            Process scr = Process::Start(folder.Scr(), args, xvfb, &folder);
            EXPECT_EQ(scr.WaitExit(10s), 0) << title << ' ' << (args.empty() ? "" : args[0]);
            EXPECT_FALSE(AnyWindowOfTheSystem(dpy, live)) << title;
        }
        XDestroyWindow(dpy, live);
        XSync(dpy, False);
    }
}

TEST(LauncherE2E, UnknownSwitchesEndSilently) {
    Xvfb xvfb(XvfbOptions{800, 600});
    ProgramFolder folder;
    EnsureRendererFile(folder);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"/a"}, {"S"}, {"/x", "/s"}}) {
        Process scr = Process::Start(folder.Scr(), args, xvfb, &folder);
        EXPECT_EQ(scr.WaitExit(10s), 0) << args[0];
        EXPECT_EQ(scr.StdErr(), "") << args[0];
        EXPECT_FALSE(AnyWindowOfTheSystem(xvfb.Connection())) << args[0];
    }
}

TEST(LauncherE2E, PreviewIdsThatAreNoWindowNeverCrash) {
    Xvfb xvfb(XvfbOptions{800, 600});
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    // A pixmap is a real X resource of the wrong kind.
    const Pixmap pixmap = XCreatePixmap(dpy, DefaultRootWindow(dpy), 4, 4, 24);
    XSync(dpy, False);
    const std::vector<std::vector<std::string>> starts = {
        {"/p", "99999999999999999999999"}, {"/p", "&Hzz!"}, {"/p", "1234"},
        {"/p", std::to_string(pixmap)},    {"/p:-1"},       {"/p"},
    };
    for (const auto& args : starts) {
        const std::string label = args.size() > 1 ? args[1] : args[0];
        Process scr = Process::Start(folder.Scr(), args, xvfb, &folder);
        // Without a window to live in, the preview has nothing to show: the process ends by
        // itself, normally, and never dies of an X error.
        const std::optional<int> code = scr.WaitExit(10s);
        if (!code) {
            scr.Kill(SIGTERM);
        }
        EXPECT_EQ(code, std::optional<int>(0)) << label << ": " << scr.StdErr();
        EXPECT_TRUE(FindWindows(dpy, "Preview Window").empty()) << label;
    }
    XFreePixmap(dpy, pixmap);
}

TEST(LauncherE2E, SettingsDialogEndsTheProcessWhenClosed) {
    Xvfb xvfb(XvfbOptions{800, 600});
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    EnsureRendererFile(folder);
    Process scr = Process::Start(folder.Scr(), {"/c:4711"}, xvfb, &folder);
    std::vector<unsigned long> dialogs;
    ASSERT_TRUE(WaitUntil(
        [&] {
            dialogs = FindWindows(dpy, "<Kovessa>");
            return !dialogs.empty() && IsWindowViewable(dpy, dialogs.front());
        },
        10s))
        << scr.StdErr();
    SendCloseRequest(dpy, dialogs.front());
    EXPECT_EQ(scr.WaitExit(10s), 0) << scr.StdErr();
}

TEST(LauncherE2E, NoDisplayIsAClearErrorNotACrash) {
    Xvfb xvfb(XvfbOptions{320, 240});
    ProgramFolder folder;
    Process scr = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder, {{"DISPLAY", ":9973"}});
    const std::optional<int> code = scr.WaitExit(10s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 1);
    EXPECT_NE(scr.StdErr().find("cannot open the X display"), std::string::npos) << scr.StdErr();
}

} // namespace
} // namespace kovessa::test
