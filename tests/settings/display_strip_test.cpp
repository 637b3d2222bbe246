#include "settings/display_strip.h"
#include "settings/qt_text_drawer.h"
#include "settings/raster_ops.h"
#include "settings/strip_pictures.h"

#include <gtest/gtest.h>
#include <QGuiApplication>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace kovessa {
namespace {

// Letters as solid blocks: character i covers columns x + 7i .. x + 7i + 4 and rows y .. y + 15,
// so a test knows exactly which pixels are glyph pixels. Blanks draw nothing.
class BlockTextDrawer : public TextDrawer {
public:
    static bool IsGlyph(const std::string& text, int px, int py) {
        const int rel = px - DisplayStrip::kTextX;
        if (rel < 0 || py < DisplayStrip::kTextY || py > DisplayStrip::kTextY + 15) {
            return false;
        }
        const size_t i = static_cast<size_t>(rel / 7);
        return i < text.size() && rel % 7 <= 4 && text[i] != ' ';
    }
    void DrawText(PixelSurface& surface, const SurfaceFont&, std::string_view text, int x, int y,
                  RgbColour rgb) override {
        ++calls;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ' ') {
                continue;
            }
            for (int dy = 0; dy <= 15; ++dy) {
                for (int dx = 0; dx <= 4; ++dx) {
                    surface.SetPixel(x + 7 * static_cast<int>(i) + dx, y + dy, rgb);
                }
            }
        }
    }
    int calls = 0;
};

// Ends before the star's corner (x 287), so the star always lands on black.
const std::string kLink = "abcdefghijklmnopqrstuvwxyz abcdefghijk";

int Channel(uint32_t rgb, int shift) {
    return static_cast<int>((rgb >> shift) & 0xFF);
}

uint32_t AddScaled(uint32_t dst, uint32_t src) {
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        const int v = Channel(dst, shift) + (Channel(src, shift) * 254 + 127) / 255;
        out |= static_cast<uint32_t>(std::min(v, 255)) << shift;
    }
    return out;
}

class DisplayStripTest : public ::testing::Test {
protected:
    DisplayStripTest()
        : pictures_(LoadStripPictures()), strip_(text_, pictures_.hilite, pictures_.stars) {
        strip_.Start(kLink);
    }

    // What the visible strip must hold with the streak's left edge at `hiliteX` and no star:
    // the letters in pale yellow brightened by the streak, everything else black.
    uint32_t Expected(int x, int y, int hiliteX) const {
        if (!BlockTextDrawer::IsGlyph(kLink, x, y)) {
            return 0;
        }
        const uint32_t streak = pictures_.hilite.Pixel(x - hiliteX, y).value;
        return AddScaled(MakeRgb(200, 200, 100).value, streak);
    }

    // Runs frames until frame `k` (0-based) has been drawn.
    void RunTo(int k) {
        for (int i = 0; i <= k; ++i) {
            strip_.DrawFrame();
        }
    }

    BlockTextDrawer text_;
    StripPictures pictures_;
    DisplayStrip strip_;
};

TEST_F(DisplayStripTest, StartSizesSurfacesDrawsMasksAndPlacesStreakLeftOfStrip) {
    for (const PixelSurface* s : {&strip_.picBuffer, &strip_.picBlank, &strip_.picText,
                                  &strip_.picTextM, &strip_.PictextB}) {
        EXPECT_EQ(s->Width(), 309);
        EXPECT_EQ(s->Height(), 25);
    }
    EXPECT_EQ(strip_.HiliteX, -69);
    EXPECT_TRUE(strip_.timer1Enabled);
    EXPECT_FALSE(strip_.StarActive);
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 309; ++x) {
            const bool glyph = BlockTextDrawer::IsGlyph(kLink, x, y);
            ASSERT_EQ(strip_.picTextM.Pixel(x, y).value, glyph ? 0u : 0xFFFFFFu) << x << "," << y;
            ASSERT_EQ(strip_.PictextB.Pixel(x, y).value, glyph ? 0xFFFFFFu : 0u) << x << "," << y;
            ASSERT_EQ(strip_.picBlank.Pixel(x, y).value, 0u);
        }
    }
}

TEST_F(DisplayStripTest, FramesShowStreakOnlyInsideLetters) {
    // Frame k draws the streak at -69 + 8k: 0 has no streak, 9 and 10 clip it at the left
    // edge, 40 and 47 at the right edge, 20 lies inside.
    int drawn = -1;
    for (int k : {0, 9, 10, 20, 40, 47}) {
        while (drawn < k) {
            strip_.DrawFrame();
            ++drawn;
        }
        const int hx = -69 + 8 * k;
        for (int y = 0; y < 25; ++y) {
            for (int x = 0; x < 309; ++x) {
                if (x >= DisplayStrip::kStarX && y >= DisplayStrip::kStarY && strip_.StarActive) {
                    continue;
                }
                ASSERT_EQ(strip_.picDisplay.Pixel(x, y).value, Expected(x, y, hx))
                    << "frame " << k << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(DisplayStripTest, BrightestStreakTurnsPaleYellowLettersWhite) {
    // Find a row and streak position where a grey-174 pixel of the streak lands on a letter.
    RunTo(20);
    const int hx = -69 + 8 * 20;
    int checked = 0;
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 309; ++x) {
            if (pictures_.hilite.Pixel(x - hx, y).value != MakeRgb(174, 174, 174).value) {
                continue;
            }
            const uint32_t expected = BlockTextDrawer::IsGlyph(kLink, x, y) ? 0xFFFFFFu : 0u;
            EXPECT_EQ(strip_.picDisplay.Pixel(x, y).value, expected) << x << "," << y;
            checked += expected != 0;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_F(DisplayStripTest, SweepLastsFortyEightFramesAndWraps) {
    for (int k = 0; k < 48; ++k) {
        ASSERT_EQ(strip_.HiliteX, -69 + 8 * k) << "before frame " << k;
        strip_.DrawFrame();
    }
    EXPECT_EQ(strip_.HiliteX, -69);

    // A step that lands exactly on the strip's width keeps it; only beyond it wraps.
    strip_.HiliteX = 301;
    strip_.DrawFrame();
    EXPECT_EQ(strip_.HiliteX, 309);
    strip_.DrawFrame();
    EXPECT_EQ(strip_.HiliteX, -69);
}

TEST_F(DisplayStripTest, StarStartsOnlyStrictlyInsideItsWindow) {
    const struct {
        int before; // HiliteX before the frame; the frame steps it by 8
        bool starts;
    } cases[] = {{242, false}, {243, true}, {271, true}, {272, false}, {280, false}};
    for (const auto& c : cases) {
        strip_.StarActive = false;
        strip_.HiliteX = c.before;
        strip_.DrawFrame();
        EXPECT_EQ(strip_.StarActive, c.starts) << "HiliteX " << c.before + 8;
    }
}

// Which star picture the visible strip shows at the star's corner, or -1 for none; fails the
// test when the corner matches no picture exactly.
int ShownStar(const DisplayStrip& strip, const StripPictures& pictures) {
    auto matches = [&](const PixelSurface* star) {
        for (int y = DisplayStrip::kStarY; y < 25; ++y) {
            for (int x = DisplayStrip::kStarX; x < 309; ++x) {
                const uint32_t src =
                    star ? star->Pixel(x - DisplayStrip::kStarX, y - DisplayStrip::kStarY).value
                         : 0u;
                if (strip.picDisplay.Pixel(x, y).value != AddScaled(0, src)) {
                    return false;
                }
            }
        }
        return true;
    };
    if (matches(nullptr)) {
        return -1;
    }
    for (int n = 0; n < 4; ++n) {
        if (matches(&pictures.stars[static_cast<size_t>(n)])) {
            return n;
        }
    }
    ADD_FAILURE() << "the star corner shows no known picture";
    return -2;
}

TEST_F(DisplayStripTest, TwinkleShowsFourPicturesUpAndDownClippedAtTheCorner) {
    std::vector<int> shown;
    for (int k = 0; k < 48 + 48; ++k) {
        strip_.DrawFrame();
        shown.push_back(ShownStar(strip_, pictures_));
    }
    const std::vector<int> twinkle = {0, 1, 2, 3, 3, 2, 1, 0};
    for (int sweep = 0; sweep < 2; ++sweep) {
        for (int k = 0; k < 48; ++k) {
            const int frame = sweep * 48 + k;
            const int expected = k >= 39 && k <= 46 ? twinkle[static_cast<size_t>(k - 39)] : -1;
            EXPECT_EQ(shown[static_cast<size_t>(frame)], expected) << "frame " << frame;
        }
    }
    EXPECT_FALSE(strip_.StarActive);
    EXPECT_EQ(strip_.StarIndex, -1);
    EXPECT_EQ(strip_.StarStep, -1);
}

TEST(RasterOps, BitBltCombinesBitwiseAndClipsAtEveryEdge) {
    const struct {
        RasterOp op;
        uint32_t dst, src, out;
    } ops[] = {{RasterOp::SrcCopy, 0x123456, 0xABCDEF, 0xABCDEF},
               {RasterOp::SrcAnd, 0xF0F0F0, 0x3C3C3C, 0x303030},
               {RasterOp::SrcPaint, 0xF00000, 0x0F0F0F, 0xFF0F0F}};
    for (const auto& o : ops) {
        PixelSurface dst(4, 3, RgbColour{o.dst});
        const PixelSurface src(4, 3, RgbColour{o.src});
        // Shifted up-left by one: row 0 and column 0 of the source fall outside.
        BitBlt(dst, -1, -1, 4, 3, src, 0, 0, o.op);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                EXPECT_EQ(dst.Pixel(x, y).value, (x < 3 && y < 2) ? o.out : o.dst) << x << "," << y;
            }
        }
    }

    // A block beyond the right and bottom edges, and one reading beyond the source.
    PixelSurface dst(3, 3, RgbColour{0});
    const PixelSurface src(2, 2, RgbColour{0xFFFFFF});
    BitBlt(dst, 2, 2, 5, 5, src, 0, 0, RasterOp::SrcCopy);
    BitBlt(dst, 0, 0, 3, 3, src, 1, 1, RasterOp::SrcCopy);
    EXPECT_EQ(dst.Pixel(2, 2).value, 0xFFFFFFu);
    EXPECT_EQ(dst.Pixel(0, 0).value, 0xFFFFFFu);
    EXPECT_EQ(dst.Pixel(1, 0).value, 0u);
    EXPECT_EQ(dst.Pixel(0, 1).value, 0u);
    BitBlt(dst, 0, 0, -2, 3, src, 0, 0, RasterOp::SrcCopy); // nothing, no crash
    BitBlt(dst, 100, 100, 3, 3, src, 0, 0, RasterOp::SrcCopy);
}

TEST(RasterOps, BlendAddsNearlyAllOfTheSourceAndSaturates) {
    const struct {
        uint32_t dst, src, out;
    } cases[] = {
        {0x000000, 0x000000, 0x000000}, // black adds nothing
        {0x102030, 0x010101, 0x112131}, // 254/255 of 1 rounds to 1
        {0x000000, 0xFFFFFF, 0xFEFEFE}, // 255 gives 254
        {0xC8C864, 0xAEAEAE, 0xFFFFFF}, // grey 174 on pale yellow: white
        {0x00FF80, 0x808080, 0x7FFFFF}, // 128 gives 127 (127.498), limited per channel
    };
    for (const auto& c : cases) {
        PixelSurface dst(1, 1, RgbColour{c.dst});
        const PixelSurface src(1, 1, RgbColour{c.src});
        EXPECT_TRUE(AlphaBlendAdd(dst, 0, 0, 1, 1, src, 0, 0, 254));
        EXPECT_EQ(dst.Pixel(0, 0).value, c.out) << std::hex << c.dst << " + " << c.src;
    }
    // A source block that does not lie inside the source is refused and changes nothing.
    PixelSurface dst(2, 2, RgbColour{0x101010});
    const PixelSurface src(2, 2, RgbColour{0xFFFFFF});
    EXPECT_FALSE(AlphaBlendAdd(dst, 0, 0, 3, 2, src, 0, 0, 254));
    EXPECT_FALSE(AlphaBlendAdd(dst, 0, 0, 2, 2, src, -1, 0, 254));
    EXPECT_EQ(dst.Pixel(0, 0).value, 0x101010u);
    // A destination partly outside is clipped.
    EXPECT_TRUE(AlphaBlendAdd(dst, 1, -1, 2, 2, src, 0, 0, 254));
    EXPECT_EQ(dst.Pixel(1, 0).value, 0xFFFFFFu);
    EXPECT_EQ(dst.Pixel(0, 0).value, 0x101010u);
    EXPECT_EQ(dst.Pixel(1, 1).value, 0x101010u);
}

TEST(StripPictures, StreakAndStarsHaveTheirSizesAndShapes) {
    const StripPictures p = LoadStripPictures();
    ASSERT_EQ(p.hilite.Width(), 69);
    ASSERT_EQ(p.hilite.Height(), 125);
    for (int y = 0; y < 125; ++y) {
        int peak = 0, peakX = -1;
        for (int x = 0; x < 69; ++x) {
            const uint32_t c = p.hilite.Pixel(x, y).value;
            ASSERT_EQ(Channel(c, 16), Channel(c, 0)) << "grey";
            ASSERT_EQ(Channel(c, 8), Channel(c, 0)) << "grey";
            if (Channel(c, 0) > peak) {
                peak = Channel(c, 0);
                peakX = x;
            }
        }
        EXPECT_TRUE(peak == 174 || peak == 175) << "row " << y;
        const double ideal = 53 - 35.0 * y / 124;
        EXPECT_NEAR(peakX, ideal, 0.51) << "row " << y;
        EXPECT_EQ(p.hilite.Pixel(0, 0).value, 0u);
        EXPECT_EQ(p.hilite.Pixel(68, 124).value, 0u);
    }
    const int lit[] = {44, 96, 158, 230};
    for (size_t n = 0; n < 4; ++n) {
        ASSERT_EQ(p.stars[n].Width(), 28);
        ASSERT_EQ(p.stars[n].Height(), 28);
        int count = 0;
        for (int y = 0; y < 28; ++y) {
            for (int x = 0; x < 28; ++x) {
                count += p.stars[n].Pixel(x, y).value != 0;
            }
        }
        EXPECT_EQ(count, lit[n]) << "star " << n;
    }
}

TEST(QtTextDrawer, LettersAreSolidAndTheMasksAreExactInverses) {
    int argc = 1;
    char name[] = "strip";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QtTextDrawer text;
    const StripPictures pictures = LoadStripPictures();
    DisplayStrip strip(text, pictures.hilite, pictures.stars);
    strip.Start("file:///usr/share/doc/kovessa/README.md");
    strip.DrawFrame();

    int letters = 0;
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 309; ++x) {
            const uint32_t m = strip.picTextM.Pixel(x, y).value;
            const uint32_t b = strip.PictextB.Pixel(x, y).value;
            ASSERT_TRUE(m == 0u || m == 0xFFFFFFu) << "smoothed mask pixel at " << x << "," << y;
            ASSERT_EQ(b, m ^ 0xFFFFFFu) << x << "," << y;
            const uint32_t shown = strip.picDisplay.Pixel(x, y).value;
            ASSERT_EQ(shown, b ? MakeRgb(200, 200, 100).value : 0u) << x << "," << y;
            if (b) {
                ++letters;
                // The text cell starts at 2, 2: nothing is drawn above or left of it.
                EXPECT_GE(x, 2);
                EXPECT_GE(y, 2);
            }
        }
    }
    EXPECT_GT(letters, 300);
}

} // namespace
} // namespace kovessa
