// The preview inside a foreign window: the picture at its own size in the top-left corner on
// black, the end of the process with its parent, and its independence from the guard.
#include "common/window_titles.h"
#include "tests/show/show_e2e_support.h"

// GoogleTest before Xlib: Xlib's macros clash with its names.
#include <gtest/gtest.h>

namespace kovessa::test {
namespace {

TEST(PreviewE2E, ShowsThePictureAtItsOwnSizeOnBlackAndEndsWithItsParent) {
    const QImage picture = AssetPicture("preview.png");
    ASSERT_EQ(picture.size(), QSize(152, 112));
    Xvfb xvfb(XvfbOptions{800, 600});
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    struct Case {
        int w, h;
        const char* scale; // a desktop that scales windows up must not scale the picture
    };
    for (auto [w, h, scale] :
         {Case{152, 112, "1"}, Case{400, 300, "1"}, Case{100, 80, "1"}, Case{400, 300, "2"}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + " scale " + scale);
        // A magenta parent, so that any part the preview leaves uncovered shows.
        const unsigned long parent = CreateForeignWindow(dpy, w, h, Rgb{255, 0, 255});
        Process preview = Process::Start(folder.Scr(), {"/p", std::to_string(parent)}, xvfb,
                                         &folder, {{"QT_SCALE_FACTOR", scale}});
        Image shot;
        const bool drawn = WaitUntil(
            [&] {
                shot = CaptureWindow(dpy, parent);
                return WrongPreviewPixels(shot, picture) == 0;
            },
            10s);
        EXPECT_TRUE(drawn) << WrongPreviewPixels(shot, picture) << " pixels differ";
        if (!drawn || (w == 400 && h == 300 && scale[0] == '1')) {
            SavePng(shot, ArtifactDir() /
                              ("preview-" + std::to_string(w) + "x" + std::to_string(h) + ".png"));
        }
        EXPECT_EQ(FindWindows(dpy, kPreviewWindowTitle).size(), 1u);

        const auto destroyed = std::chrono::steady_clock::now();
        DestroyForeignWindow(dpy, parent);
        EXPECT_EQ(preview.WaitExit(1s), 0) << preview.StdErr();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - destroyed);
        EXPECT_LT(took.count(), 1000);
        EXPECT_TRUE(FindWindows(dpy, kPreviewWindowTitle).empty());
    }
}

TEST(PreviewE2E, IdThatIsNotAWindowEndsTheProcess) {
    Xvfb xvfb(XvfbOptions{320, 240});
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    // The id of a window that existed a moment ago, and ids that never named one.
    const unsigned long gone = CreateForeignWindow(dpy, 10, 10);
    DestroyForeignWindow(dpy, gone);
    for (const std::string& id :
         {std::to_string(gone), std::string("0"), std::string("-5"), std::string("abc")}) {
        SCOPED_TRACE("/p " + id);
        Process preview = Process::Start(folder.Scr(), {"/p", id}, xvfb, &folder);
        EXPECT_EQ(preview.WaitExit(3s), 0) << preview.StdErr();
    }
}

TEST(PreviewE2E, ShowAndSettingsDialogStillStartBesideAPreview) {
    Xvfb xvfb;
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    const unsigned long parent = CreateForeignWindow(dpy, 152, 112);
    Process preview = Process::Start(folder.Scr(), {"/p", std::to_string(parent)}, xvfb, &folder);
    ASSERT_TRUE(WaitUntil([&] { return !FindWindows(dpy, kPreviewWindowTitle).empty(); }, 10s));

    Process settings = Process::Start(folder.Scr(), {"/c"}, xvfb, &folder);
    EXPECT_TRUE(WaitUntil([&] { return !FindWindows(dpy, kSettingsWindowTitle).empty(); }, 10s));
    settings.Kill(SIGTERM);
    settings.WaitExit(3s);

    MovePointerTo(dpy, 700, 700);
    Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder);
    EXPECT_TRUE(WaitUntil([&] { return RendererWindow(dpy) != 0; }, 20s));
    EXPECT_TRUE(preview.Running());
    // Without music the show takes its start point right after starting the renderer, long
    // before the renderer's window appears, so the move below counts.
    MovePointerBy(dpy, 50, 50);
    EXPECT_EQ(show.WaitExit(2s), 0);
    CloseRenderer(dpy);
    // The show did not take the preview with it.
    EXPECT_TRUE(preview.Running());
    DestroyForeignWindow(dpy, parent);
    EXPECT_EQ(preview.WaitExit(1s), 0);
}

} // namespace
} // namespace kovessa::test
