// The scene's OpenGL layer against positions worked out on the CPU: a frame is drawn at a fixed
// scene time and seed into a window on a private Xvfb (Mesa's software OpenGL), and the pixels
// where the projection puts the background's corners and two fireflies' glows are read back.
// This pins the constants of the layer (background depth and quad, camera distance and tilt,
// glow square size, projection) that a colour in the middle of the screen cannot.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#define SDL_MAIN_HANDLED
#include "renderer/firefly_scene.h"
#include "renderer/gl_scene_painter.h"
#include "renderer/gl_texture.h"
#include "tests/harness/harness.h"
#include "tests/renderer/bitmap_test_files.h"

#include <GL/gl.h>
#include <SDL.h>

namespace kovessa::test {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr double kPi = 3.14159265358979323846;

using Vec4 = std::array<double, 4>;
using Mat4 = std::array<double, 16>; // column-major, as OpenGL keeps it

Mat4 Identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Mat4 Multiply(const Mat4& a, const Mat4& b) {
    Mat4 out{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            for (int k = 0; k < 4; ++k) {
                out[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
            }
        }
    }
    return out;
}

Mat4 Translate(double x, double y, double z) {
    Mat4 m = Identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

// A turn of `degrees` about the x (axis 0), y (1) or z (2) axis.
Mat4 Rotate(double degrees, int axis) {
    const double c = std::cos(degrees * kPi / 180);
    const double s = std::sin(degrees * kPi / 180);
    Mat4 m = Identity();
    const int i = (axis + 1) % 3;
    const int j = (axis + 2) % 3;
    m[i * 4 + i] = c;
    m[i * 4 + j] = s;
    m[j * 4 + i] = -s;
    m[j * 4 + j] = c;
    return m;
}

// A 45-degree vertical field of view, near 1 and far 100.
Mat4 Perspective() {
    const double f = 1 / std::tan(22.5 * kPi / 180);
    const double nearZ = 1;
    const double farZ = 100;
    Mat4 m{};
    m[0] = f / (static_cast<double>(kWidth) / kHeight);
    m[5] = f;
    m[10] = (farZ + nearZ) / (nearZ - farZ);
    m[11] = -1;
    m[14] = 2 * farZ * nearZ / (nearZ - farZ);
    return m;
}

struct Pixel {
    int x, y; // window coordinates, origin at the bottom left as glReadPixels has it
};

Pixel Project(const Mat4& modelView, double x, double y, double z) {
    const Mat4 m = Multiply(Perspective(), modelView);
    Vec4 clip{};
    const Vec4 v{x, y, z, 1};
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 4; ++k) {
            clip[r] += m[k * 4 + r] * v[k];
        }
    }
    return {static_cast<int>(std::floor((clip[0] / clip[3] + 1) / 2 * kWidth)),
            static_cast<int>(std::floor((clip[1] / clip[3] + 1) / 2 * kHeight))};
}

Rgb ReadPixel(Pixel p) {
    uint8_t rgb[3] = {};
    glReadPixels(p.x, p.y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

bool Near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

class NoMessages final : public MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string&, MessageIcon) override {
        ADD_FAILURE() << text;
    }
};

class ReferenceFrame : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("DISPLAY", xvfb_.DisplayName().c_str(), 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window_ = SDL_CreateWindow("reference frame", 0, 0, kWidth, kHeight,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        context_ = SDL_GL_CreateContext(window_);
        ASSERT_NE(context_, nullptr) << SDL_GetError();
        SetupRenderState();
        ResizeScene(kWidth, kHeight);
        // A white glow adds its colour unchanged over the whole square; a blue background
        // shows exactly where its quad lies.
        TempDir dir;
        WriteFile(dir.Path() / "glow.bmp", MakeSolidBitmap(64, 64, 255, 255, 255));
        WriteFile(dir.Path() / "background.bmp", MakeSolidBitmap(64, 64, 0, 0, 255));
        NoMessages messages;
        LoadTextureFile((dir.Path() / "glow.bmp").string(), textures_.GlowTexture, messages);
        LoadTextureFile((dir.Path() / "background.bmp").string(), textures_.BackgroundTexture,
                        messages);
    }
    void TearDown() override {
        if (context_ != nullptr) {
            SDL_GL_DeleteContext(context_);
        }
        if (window_ != nullptr) {
            SDL_DestroyWindow(window_);
        }
        SDL_Quit();
    }

    Xvfb xvfb_{XvfbOptions{kWidth, kHeight}};
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    SceneTextures textures_;
};

TEST_F(ReferenceFrame, BackgroundCornersLandWhereTheProjectionPutsThem) {
    FireflyScene scene;
    scene.SetUp(3);
    scene.FireflyCount = 0; // the background alone
    FrameGeometry frame;
    // 10 degrees: turned far enough to tell the direction, while every corner stays on
    // screen (the turned quad reaches past the top and bottom edges from about 17 degrees on).
    const int64_t t = 5000;
    scene.BuildFrame(t, frame);
    DrawScene(frame, textures_);
    const Mat4 modelView =
        Multiply(Translate(0, 0, -2.8), Rotate(FireflyScene::BackgroundAngle(t), 2));
    const Rgb blue{0, 0, 255};
    const Rgb black{0, 0, 0};
    for (const auto& [x, y] : {std::pair{-1.0, -0.9}, {1.0, -0.9}, {1.0, 0.9}, {-1.0, 0.9}}) {
        SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
        const Pixel in = Project(modelView, x * 0.97, y * 0.97, 0);
        const Pixel out = Project(modelView, x * 1.03, y * 1.03, 0);
        ASSERT_TRUE(out.x > 0 && out.x < kWidth && out.y > 0 && out.y < kHeight);
        EXPECT_TRUE(Near(ReadPixel(in), blue));
        EXPECT_TRUE(Near(ReadPixel(out), black));
    }
    EXPECT_TRUE(Near(ReadPixel({kWidth / 2, kHeight / 2}), blue));
}

TEST_F(ReferenceFrame, TwoGlowsLandOnTheirFirefliesInTheTurnedLattice) {
    FireflyScene scene;
    scene.SetUp(11);
    scene.FireflyCount = 2;
    scene.ShowBackground = false;
    scene.Fireflies[0].Speed = 0.05f; // a reddish glow
    scene.Fireflies[1].Speed = 0.02f; // a white one
    FrameGeometry frame;
    scene.BuildFrame(0, frame);
    const int64_t t = 36070; // the lattice turned by a third and a little
    scene.BuildFrame(t, frame);
    DrawScene(frame, textures_);
    const Mat4 modelView = Multiply(Multiply(Translate(0, 0, -31), Rotate(20, 0)),
                                    Rotate(FireflyScene::CameraAngle(t), 1));
    const Rgb expected[2] = {{255, 179, 179}, {255, 255, 255}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("firefly " + std::to_string(i));
        const Vec3f& p = frame.glows[i].centre;
        // Eight points well inside the unit square, at its corners and edge middles, and the
        // same eight just outside it; the trail line from the head may cross one of each.
        int inside = 0;
        int outside = 0;
        for (int k = 0; k < 8; ++k) {
            const double dx = k % 4 == 0 ? 0 : (k < 4 ? 1 : -1);
            const double dy = (k + 2) % 4 == 0 ? 0 : (k < 2 || k > 6 ? 1 : -1);
            const Pixel in = Project(modelView, p.x + 0.35 * dx, p.y + 0.35 * dy, p.z);
            ASSERT_TRUE(in.x > 0 && in.x < kWidth && in.y > 0 && in.y < kHeight);
            inside += Near(ReadPixel(in), expected[i]) ? 1 : 0;
            const Rgb seen = ReadPixel(Project(modelView, p.x + 0.65 * dx, p.y + 0.65 * dy, p.z));
            outside += seen.r < 128 && seen.g < 128 && seen.b < 128 ? 1 : 0;
        }
        EXPECT_GE(inside, 7);
        EXPECT_GE(outside, 7);
    }
}

// The two ends of a trail strip take the colours the painter gives them: white at the head,
// where the firefly is, and a dark blue (0, 0, 0.1) at the tail. The strip lies along the x
// axis, and its first and last inner points carry those same colours, so the middle of the
// first segment shows the head's colour and the middle of the last one the tail's. The glow
// is black, so it adds nothing.
TEST_F(ReferenceFrame, TrailStripsRunFromAWhiteHeadToADarkBlueTail) {
    auto frame = std::make_unique<FrameGeometry>();
    frame->showBackground = false;
    frame->count = 1;
    TrailStrip& strip = frame->trails[0];
    strip.head = {-12, 0, 0};
    strip.inner = {CellPos{-6, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {6, 0, 0}};
    strip.innerColours = {kovessa::Rgb{1, 1, 1},
                          {0.5f, 0.5f, 0.5f},
                          {0.5f, 0.5f, 0.5f},
                          {0.5f, 0.5f, 0.5f},
                          {0, 0, 0.1f}};
    strip.tail = {12, 0, 0};
    frame->glows[0] = {{-12, 0, 0}, {0, 0, 0}};
    DrawScene(*frame, textures_);
    const Mat4 modelView = Multiply(Translate(0, 0, -31), Rotate(20, 0));
    // The brightest pixel next to where the projection puts a point of the one-pixel line.
    const auto lineAt = [&](double x) {
        const Pixel p = Project(modelView, x, 0, 0);
        Rgb best{};
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const Rgb seen = ReadPixel({p.x + dx, p.y + dy});
                if (seen.r + seen.g + seen.b > best.r + best.g + best.b) {
                    best = seen;
                }
            }
        }
        return best;
    };
    const Rgb head = lineAt(-9);
    EXPECT_TRUE(Near(head, Rgb{255, 255, 255})) << +head.r << " " << +head.g << " " << +head.b;
    const Rgb tail = lineAt(9);
    EXPECT_TRUE(Near(tail, Rgb{0, 0, 26})) << +tail.r << " " << +tail.g << " " << +tail.b;
}

} // namespace
} // namespace kovessa::test
