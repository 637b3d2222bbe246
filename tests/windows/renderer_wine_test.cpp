// Kovessa.xy for Windows, cross-built and run under Wine on a private Xvfb: Wine draws its
// windows as X windows, so the harness sees, moves and presses as it does for the Linux
// renderer.

#include "common/handoff_folder.h"
#include "tests/show/show_e2e_support.h"
#include "tests/windows/wine_support.h"

#include <gtest/gtest.h>
#include <X11/keysym.h>

#include <fstream>

namespace kovessa::test {
namespace {

constexpr const char* kTitle = "Zeruma_Pelios";

class RendererWine : public ::testing::Test {
protected:
    void SetUp() override {
        const std::optional<fs::path> program = WindowsProgram("Kovessa.xy");
        if (!program) {
            GTEST_SKIP() << "the Windows build is missing (scripts/build-windows.sh makes it)";
        }
        renderer_ = *program;
        xvfb_.emplace(XvfbOptions{1280, 720});
    }

    // The show's own pictures, as the show hands them over.
    static void WritePictures(const fs::path& folder) {
        fs::create_directories(folder);
        std::ofstream(folder / kGlowBitmapName, std::ios::binary)
            << ExpectedHandoffBitmap("glow.png");
        std::ofstream(folder / kBackgroundBitmapName, std::ios::binary)
            << ExpectedHandoffBitmap("earth.png");
    }

    // Waits for the window and for a frame with the Earth in the middle and glows around it.
    bool WaitForScene() {
        Display* dpy = xvfb_->Connection();
        return WaitUntil([&] { return !FindWindows(dpy, kTitle).empty(); }, 60s) &&
               WaitUntil([&] { return LitShare(dpy, 640, 360) > 0.9; }, 30s) &&
               WaitUntil([&] { return GlowPixels(dpy, 0, 0, 1280, 720) > 200; }, 10s);
    }

    fs::path renderer_;
    std::optional<Xvfb> xvfb_;
    TempDir scratch_;
};

TEST_F(RendererWine, DrawsTheEarthAndGlowsOverTheScreenAndEscEndsIt) {
    WritePictures(scratch_.Path() / "handoff");
    Process renderer = StartUnderWine(
        renderer_, {"--handoff-folder", WindowsPath(scratch_.Path() / "handoff")}, *xvfb_);
    ASSERT_TRUE(WaitForScene()) << renderer.StdErr();
    const unsigned long window = FindWindows(xvfb_->Connection(), kTitle).front();
    const auto geometry = WindowGeometry(xvfb_->Connection(), window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);
    EXPECT_EQ(geometry->width, 1280);
    EXPECT_EQ(geometry->height, 720);
    SavePng(Capture(xvfb_->Connection(), 0, 0, 1280, 720), ArtifactDir() / "wine-renderer.png");
    // The one-shot folder is the renderer's to remove once it has read the pictures.
    EXPECT_FALSE(fs::exists(scratch_.Path() / "handoff"));

    KeyDown(xvfb_->Connection(), XK_Escape);
    EXPECT_EQ(renderer.WaitExit(30s), std::optional<int>(0));
    KeyUp(xvfb_->Connection(), XK_Escape);
}

// Without --handoff-folder the pictures come from the user's local application data, where a
// standard user may write; a pointer move of 31 pixels on both axes ends the show.
TEST_F(RendererWine, ReadsThePerUserFolderAndEndsOnAPointerMove) {
    WritePictures(WineLocalAppData() / "Kovessa");
    MovePointerTo(xvfb_->Connection(), 600, 300);
    Process renderer = StartUnderWine(renderer_, {}, *xvfb_);
    ASSERT_TRUE(WaitForScene()) << renderer.StdErr();
    MovePointerTo(xvfb_->Connection(), 631, 331);
    EXPECT_EQ(renderer.WaitExit(30s), std::optional<int>(0));
    fs::remove_all(WineLocalAppData() / "Kovessa");
}

TEST_F(RendererWine, AMissingGlowBitmapShowsBothBoxesAndEndsWithOne) {
    const fs::path empty = scratch_.Path() / "empty";
    fs::create_directories(empty);
    const std::string glow = WindowsPath(empty) + "\\" + kGlowBitmapName;
    Process renderer = StartUnderWine(renderer_, {"--handoff-folder", WindowsPath(empty)}, *xvfb_);

    // The caption is the X window's title; the text inside is read through Win32.
    EXPECT_TRUE(
        WaitUntil([&] { return !FindWindows(xvfb_->Connection(), "BMP Unit").empty(); }, 60s));
    EXPECT_EQ(ReadAndCloseBox("BMP Unit", *xvfb_),
              std::optional<std::string>("Error opening \"" + glow));
    EXPECT_EQ(ReadAndCloseBox("Loading Textures", *xvfb_),
              std::optional<std::string>("Unable to load " + glow));
    EXPECT_EQ(renderer.WaitExit(30s), std::optional<int>(1));
    EXPECT_NE(renderer.StdErr().find("Kovessa.xy: BMP Unit: Error opening \"" + glow),
              std::string::npos)
        << renderer.StdErr();
}

} // namespace
} // namespace kovessa::test
