#include "controls/button_face_painter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace kovessa::test {
namespace {

// A 64 x 25 picture in which every pixel names its own position, so that each target pixel
// shows where in the picture it came from.
RgbImage CoordinatePicture() {
    RgbImage picture(64, 25);
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 64; ++x) {
            picture.Set(x, y, PackRgb(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0xA5));
        }
    }
    return picture;
}

// Where a stretched piece samples: the picture pixel under the centre of each target pixel.
int Sampled(int first, int sourceLength, int offset, int targetLength) {
    return first + static_cast<int>(std::floor((offset + 0.5) * sourceLength / targetLength));
}

uint32_t Source(int x, int y) {
    return PackRgb(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0xA5);
}

class FaceBand : public ::testing::TestWithParam<std::tuple<int, int>> {};

// Every pixel of the target, at the sizes the settings dialog uses, checked against where it
// must come from: a corner copied unscaled, an edge stretched from the picture's middle band,
// or the gradient in the centre.
TEST_P(FaceBand, EveryPixelComesFromItsPiece) {
    const auto [w, h] = GetParam();
    RgbImage target(w, h);
    PaintButtonFace(target, CoordinatePicture(), false);
    RgbImage gradient(w, h);
    DrawGradient(gradient, false);

    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool left = x < 4, right = x >= w - 4, top = y < 4, bottom = y >= h - 4;
            const int sx = left ? x : right ? 60 + (x - (w - 4)) : Sampled(4, 56, x - 4, w - 8);
            const int sy = top ? y : bottom ? 21 + (y - (h - 4)) : Sampled(4, 17, y - 4, h - 8);
            const uint32_t expected =
                (left || right || top || bottom) ? Source(sx, sy) : gradient.At(x, y);
            ASSERT_EQ(target.At(x, y), expected) << w << "x" << h << " at " << x << "," << y;
        }
    }
    // The stretched edges reach from the first to the last column of the middle band.
    const int firstTop = target.At(4, 0) >> 16, lastTop = target.At(w - 5, 0) >> 16;
    EXPECT_LE(firstTop, 6);
    EXPECT_GE(lastTop, 57);
}

INSTANTIATE_TEST_SUITE_P(DialogButtons, FaceBand,
                         ::testing::Values(std::tuple(73, 25), std::tuple(69, 25),
                                           std::tuple(29, 21), std::tuple(64, 25)));

TEST(FaceGradient, RestingFaceIsLightOnTopAndHoverTurnsItOver) {
    RgbImage resting(10, 25), hover(10, 25);
    DrawGradient(resting, false);
    DrawGradient(hover, true);
    // Channel by channel on 16-bit values, truncated: row 4 of 25 is 0xFF00 - 0x3900 * 4 / 24
    // for red, i.e. 245.5 truncated to 245.
    const struct {
        int row;
        uint32_t resting, hover;
    } rows[] = {
        {0, PackRgb(0xFF, 0xFF, 0xFF), PackRgb(0xC6, 0xC5, 0xD7)},
        {4, PackRgb(245, 245, 248), PackRgb(207, 206, 221)},
        {12, PackRgb(226, 226, 235), PackRgb(226, 226, 235)},
        {24, PackRgb(0xC6, 0xC5, 0xD7), PackRgb(0xFF, 0xFF, 0xFF)},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(resting.At(0, row.row), row.resting) << "row " << row.row;
        EXPECT_EQ(resting.At(9, row.row), row.resting) << "row " << row.row;
        EXPECT_EQ(hover.At(5, row.row), row.hover) << "row " << row.row;
    }
}

TEST(FaceBand, TinyAndEmptyTargetsAndPicturesStayInBounds) {
    for (const auto& [w, h] : {std::pair(0, 0), std::pair(1, 1), std::pair(5, 3), std::pair(8, 8),
                               std::pair(200, 2), std::pair(3, 90)}) {
        RgbImage target(w, h, 0x123456);
        PaintButtonFace(target, CoordinatePicture(), true);
        PaintButtonFace(target, RgbImage(), false); // a picture that failed to load
        ASSERT_EQ(target.pixels.size(), static_cast<size_t>(w * h));
    }
    // Without a picture the gradient alone shows, up to the edges.
    RgbImage target(30, 20);
    PaintButtonFace(target, RgbImage(), false);
    EXPECT_EQ(target.At(0, 0), kGradientLight);
    EXPECT_EQ(target.At(29, 19), kGradientShade);
}

} // namespace
} // namespace kovessa::test
