#include "tests/harness/harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace kovessa::test {
namespace {

constexpr Rgb kNormalRing{0xF3, 0xF3, 0xEE};
constexpr Rgb kHighLightRing{0xFF, 0xF0, 0xCF};
constexpr Rgb kSelectedRing{0xCE, 0xE7, 0xFF};
constexpr Rgb kBlue{0x00, 0x3C, 0x74};
constexpr Rgb kFrame{0xEC, 0xE9, 0xD8};

int Count(const std::string& text, const std::string& word) {
    int n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        ++n;
    }
    return n;
}

class CommandOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = Process::Start(COMMAND_HOST_PATH, {}, xvfb_);
        ASSERT_TRUE(WaitUntil(
            [&] {
                const auto windows = FindWindows(Dpy(), "Command host");
                return !windows.empty() && IsWindowViewable(Dpy(), windows.front());
            },
            10s))
            << host_->StdErr();
        const auto geometry = WindowGeometry(Dpy(), FindWindows(Dpy(), "Command host").front());
        ASSERT_TRUE(geometry);
        setX_ = geometry->x + 20;
        setY_ = geometry->y + 20;
        offY_ = geometry->y + 60;
        MovePointerTo(Dpy(), 5, 5);
        // The resting face has reached the screen.
        ASSERT_TRUE(WaitUntil([&] { return Ring() == kNormalRing; }, 5s));
    }

    Display* Dpy() const { return xvfb_.Connection(); }
    // The top of the state ring, in the middle of the "Set" button.
    Rgb Ring() const { return PixelAt(Dpy(), setX_ + 36, setY_ + 2); }
    void PointAtButton() const { MovePointerTo(Dpy(), setX_ + 36, setY_ + 12); }

    Xvfb xvfb_{XvfbOptions{640, 480}};
    std::optional<Process> host_;
    int setX_ = 0, setY_ = 0, offY_ = 0;
};

TEST_F(CommandOnScreen, HoverHighlightsAndLeavingRestoresNormal) {
    PointAtButton();
    ASSERT_TRUE(WaitUntil([&] { return Ring() == kHighLightRing; }, 2s));
    const Image shot = Capture(Dpy(), setX_, setY_, 73, 25);
    EXPECT_EQ(shot.At(36, 1), kBlue);
    // The gradient is turned over: shaded at the top, light at the bottom.
    EXPECT_LT(shot.At(36, 4).r, shot.At(36, 20).r);

    MovePointerTo(Dpy(), setX_ + 150, setY_ + 70);
    EXPECT_TRUE(WaitUntil([&] { return Ring() == kNormalRing; }, 2s));
}

TEST_F(CommandOnScreen, ClickRaisesClickOnceAndOffButtonNever) {
    PointAtButton();
    ASSERT_TRUE(WaitUntil([&] { return Ring() == kHighLightRing; }, 2s));
    ClickButton(Dpy(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Count(host_->StdOut(), "Click") >= 1; }, 2s));

    // The disabled button ignores a click, and nothing else arrives meanwhile.
    MovePointerTo(Dpy(), setX_ + 36, offY_ + 12);
    ClickButton(Dpy(), 1);
    MovePointerTo(Dpy(), 5, 5);
    ASSERT_TRUE(WaitUntil([&] { return Ring() == kSelectedRing; }, 2s));
    EXPECT_EQ(Count(host_->StdOut(), "Click"), 1);
}

// Walks the "Set" button through every look, checks each on the screen, and keeps the six as
// one picture for people to look at: Normal, HighLight, Selected, HighLightSelect, Pressed,
// Disable from top to bottom.
TEST_F(CommandOnScreen, SixLooksOnScreen) {
    std::vector<Image> looks;
    const auto take = [&](int y) { looks.push_back(Capture(Dpy(), setX_, y, 73, 25)); };
    take(setY_); // Normal
    PointAtButton();
    ASSERT_TRUE(WaitUntil([&] { return Ring() == kHighLightRing; }, 2s));
    take(setY_); // HighLight
    ButtonDown(Dpy(), 1);
    // Pressed: the outline moves one pixel in.
    ASSERT_TRUE(WaitUntil([&] { return PixelAt(Dpy(), setX_ + 36, setY_ + 2) == kBlue; }, 2s));
    const Image pressed = Capture(Dpy(), setX_, setY_, 73, 25);
    EXPECT_EQ(pressed.At(36, 1), kFrame);
    ButtonUp(Dpy(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Ring() == kHighLightRing; }, 2s));
    const Image highLightSelect = Capture(Dpy(), setX_, setY_, 73, 25);
    MovePointerTo(Dpy(), 5, 5);
    ASSERT_TRUE(WaitUntil([&] { return Ring() == kSelectedRing; }, 2s));
    take(setY_); // Selected
    looks.push_back(highLightSelect);
    looks.push_back(pressed);
    take(offY_); // Disable
    EXPECT_EQ(looks.back().At(36, 1), (Rgb{0xC9, 0xC7, 0xBA}));

    // Four times larger, one look under the other on a dark strip.
    constexpr int kScale = 4, kGap = 8;
    Image sheet;
    sheet.width = 73 * kScale + 2 * kGap;
    sheet.height = static_cast<int>(looks.size()) * (25 * kScale + kGap) + kGap;
    sheet.pixels.assign(static_cast<size_t>(sheet.width) * sheet.height, Rgb{40, 40, 48});
    for (std::size_t i = 0; i < looks.size(); ++i) {
        const int top = kGap + static_cast<int>(i) * (25 * kScale + kGap);
        for (int y = 0; y < 25 * kScale; ++y) {
            for (int x = 0; x < 73 * kScale; ++x) {
                sheet.pixels[static_cast<size_t>(top + y) * sheet.width + kGap + x] =
                    looks[i].At(x / kScale, y / kScale);
            }
        }
    }
    EXPECT_TRUE(SavePng(sheet, ArtifactDir() / "buttons.png"));
}

} // namespace
} // namespace kovessa::test
