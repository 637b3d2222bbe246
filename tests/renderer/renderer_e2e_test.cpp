#include "tests/harness/harness.h"
#include "tests/renderer/bitmap_test_files.h"

#include <gtest/gtest.h>
#include <X11/keysym.h>

#include <string>

namespace kovessa::test {
namespace {

constexpr const char* kTitle = "Zeruma_Pelios";

// The renderer on a private 1920x1080 Xvfb, with a black glow (the glows then add nothing) and
// a plain red background picture, so that what the screen shows can be judged by colour.
class RendererE2e : public ::testing::Test {
protected:
    void WriteBitmaps(bool withGlow = true) {
        if (withGlow) {
            WriteFile(folder_.HandoffDir() / "Zeruma1.bmp", MakeSolidBitmap(64, 64, 0, 0, 0));
        }
        WriteFile(folder_.HandoffDir() / "Zeruma2.bmp", MakeSolidBitmap(320, 320, 255, 0, 0));
    }

    Process Start() { return Process::Start(folder_.Renderer(), {}, xvfb_, &folder_); }

    // Share of a 21x21 block around (x, y) that is plainly red (thin trail lines cross it).
    double RedShare(int x, int y) {
        const Image block = Capture(xvfb_.Connection(), x - 10, y - 10, 21, 21);
        int red = 0;
        for (const Rgb& p : block.pixels) {
            red += p.r > 200 && p.g < 80 && p.b < 80;
        }
        return static_cast<double>(red) / static_cast<double>(block.pixels.size());
    }
    double BlackShare(int x, int y) {
        const Image block = Capture(xvfb_.Connection(), x, y, 16, 16);
        int black = 0;
        for (const Rgb& p : block.pixels) {
            black += p.r < 40 && p.g < 40 && p.b < 40;
        }
        return static_cast<double>(black) / static_cast<double>(block.pixels.size());
    }

    // Waits until the window exists and a frame with the red background has been drawn.
    unsigned long WaitForFirstFrame() {
        unsigned long window = 0;
        EXPECT_TRUE(WaitUntil(
            [&] {
                const auto found = FindWindows(xvfb_.Connection(), kTitle);
                window = found.empty() ? 0 : found.front();
                return window != 0;
            },
            10s));
        EXPECT_TRUE(WaitUntil([&] { return RedShare(960, 540) > 0.5; }, 10s));
        return window;
    }

    Xvfb xvfb_;
    ProgramFolder folder_;
};

TEST_F(RendererE2e, CoversTheScreenAndDrawsTheBackgroundInTheMiddle) {
    WriteBitmaps();
    Process renderer = Start();
    const unsigned long window = WaitForFirstFrame();
    ASSERT_NE(window, 0u);
    const auto geometry = WindowGeometry(xvfb_.Connection(), window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);
    EXPECT_EQ(geometry->width, 1920);
    EXPECT_EQ(geometry->height, 1080);
    for (auto [x, y] : {std::pair{0, 0}, {1904, 0}, {0, 1064}, {1904, 1064}}) {
        EXPECT_GT(BlackShare(x, y), 0.8) << x << "," << y;
    }
    EXPECT_TRUE(renderer.Running());
}

TEST_F(RendererE2e, BHidesTheBackgroundAndEscEndsWithExitZero) {
    WriteBitmaps();
    Process renderer = Start();
    ASSERT_NE(WaitForFirstFrame(), 0u);
    // Held until the next frame has taken it; B toggles on its key-down.
    KeyDown(xvfb_.Connection(), XK_b);
    EXPECT_TRUE(WaitUntil([&] { return RedShare(960, 540) < 0.1; }, 5s));
    KeyUp(xvfb_.Connection(), XK_b);
    EXPECT_TRUE(renderer.Running());

    KeyDown(xvfb_.Connection(), XK_Escape);
    EXPECT_EQ(renderer.WaitExit(10s), std::optional<int>(0));
    KeyUp(xvfb_.Connection(), XK_Escape);
}

// Taps whose key-down and key-up both arrive between two frames still count, once.
TEST_F(RendererE2e, QuickTapsOfBAndEscAreNotLost) {
    WriteBitmaps();
    Process renderer = Start();
    ASSERT_NE(WaitForFirstFrame(), 0u);
    TapKey(xvfb_.Connection(), XK_b);
    EXPECT_TRUE(WaitUntil([&] { return RedShare(960, 540) < 0.1; }, 5s));
    TapKey(xvfb_.Connection(), XK_Escape);
    EXPECT_EQ(renderer.WaitExit(10s), std::optional<int>(0));
}

TEST_F(RendererE2e, EndsOnlyWhenThePointerMovesFarOnBothAxes) {
    WriteBitmaps();
    const auto [startX, startY] = PointerPosition(xvfb_.Connection());
    Process renderer = Start();
    ASSERT_NE(WaitForFirstFrame(), 0u);
    MovePointerTo(xvfb_.Connection(), startX + 200, startY);
    // A dozen frames later it is still running.
    EXPECT_FALSE(renderer.WaitExit(1500ms).has_value());
    MovePointerTo(xvfb_.Connection(), startX + 31, startY + 31);
    EXPECT_EQ(renderer.WaitExit(10s), std::optional<int>(0));
}

TEST_F(RendererE2e, CloseRequestFromAnotherProcessEndsWithExitZero) {
    WriteBitmaps();
    Process renderer = Start();
    const unsigned long window = WaitForFirstFrame();
    ASSERT_NE(window, 0u);
    SendCloseRequest(xvfb_.Connection(), window);
    EXPECT_EQ(renderer.WaitExit(10s), std::optional<int>(0));
    EXPECT_TRUE(FindWindows(xvfb_.Connection(), kTitle).empty());
}

// Without the glow bitmap: "Error opening" under "BMP Unit", then "Unable to load" under
// "Loading Textures", each a box that waits for the user, then exit code 1. The background
// picture is never tried.
TEST_F(RendererE2e, MissingGlowBitmapReportsTwiceAndEndsWithOne) {
    WriteBitmaps(false);
    Process renderer = Start();
    for (const char* caption : {"BMP Unit", "Loading Textures"}) {
        unsigned long box = 0;
        ASSERT_TRUE(WaitUntil(
            [&] {
                const auto found = FindWindows(xvfb_.Connection(), caption);
                box = found.empty() ? 0 : found.front();
                return box != 0;
            },
            10s))
            << caption;
        EXPECT_TRUE(renderer.Running()) << "the box blocks until dismissed";
        SendCloseRequest(xvfb_.Connection(), box);
        ASSERT_TRUE(
            WaitUntil([&] { return FindWindows(xvfb_.Connection(), caption).empty(); }, 5s));
    }
    EXPECT_EQ(renderer.WaitExit(10s), std::optional<int>(1));
    const std::string glow = (folder_.HandoffDir() / "Zeruma1.bmp").string();
    const std::string err = renderer.StdErr();
    const auto opening = err.find("Error opening \"" + glow);
    const auto unable = err.find("Unable to load " + glow);
    ASSERT_NE(opening, std::string::npos) << err;
    ASSERT_NE(unable, std::string::npos) << err;
    EXPECT_LT(opening, unable);
    EXPECT_EQ(err.find("Zeruma2.bmp"), std::string::npos);
}

// A background picture cut short inside its pixel data is reported once; after the box the
// renderer runs with the rows that arrived (the bottom of the picture, red) and ends normally.
TEST_F(RendererE2e, BackgroundCutShortIsReportedAndTheShowGoesOn) {
    WriteBitmaps();
    std::vector<uint8_t> bytes = MakeSolidBitmap(320, 320, 255, 0, 0);
    bytes.resize(54 + 200 * 320 * 3 + 17);
    WriteFile(folder_.HandoffDir() / "Zeruma2.bmp", bytes);
    Process renderer = Start();
    std::vector<unsigned long> boxes;
    ASSERT_TRUE(WaitUntil(
        [&] {
            boxes = FindWindows(xvfb_.Connection(), "BMP Unit");
            return !boxes.empty();
        },
        10s));
    SendCloseRequest(xvfb_.Connection(), boxes.front());
    const unsigned long window = WaitForFirstFrame();
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(FindWindows(xvfb_.Connection(), "BMP Unit").empty()) << "reported once";
    SendCloseRequest(xvfb_.Connection(), window);
    EXPECT_EQ(renderer.WaitExit(10s), std::optional<int>(0));
    EXPECT_NE(renderer.StdErr().find("Error reading bitmap data"), std::string::npos);
}

} // namespace
} // namespace kovessa::test
