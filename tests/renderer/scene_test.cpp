#include "renderer/firefly_scene.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <set>

namespace kovessa {
namespace {

// True when b is one lattice step away from a along exactly one axis.
bool AreNeighbours(int32_t a, int32_t b) {
    const int dx = std::abs(CellIx(a) - CellIx(b));
    const int dy = std::abs(CellIy(a) - CellIy(b));
    const int dz = std::abs(CellIz(a) - CellIz(b));
    return dx + dy + dz == 1;
}

TEST(RandomSource, SeedZeroRunsTheKnownSequence) {
    RandomSource random;
    random.SeedRandom(0);
    const uint32_t expected[] = {1u, 134775814u, 3698175007u, 870078620u};
    for (uint32_t seed : expected) {
        random.RandomBelow(7);
        EXPECT_EQ(random.RandomSeed, seed);
    }
    // The result is the upper half of seed x N, so it always lies below N.
    random.SeedRandom(0xFFFFFFFFu);
    for (uint32_t n : {1u, 2u, 6u, 22500u, 0xFFFFFFFFu}) {
        EXPECT_LT(random.RandomBelow(n), n);
    }
}

TEST(FireflyScene, SeedZeroGivesTheKnownFirstFireflies) {
    FireflyScene scene;
    scene.SetUp(0);
    EXPECT_EQ(scene.Fireflies[0].Cell, 0);
    EXPECT_EQ(scene.Fireflies[0].Speed, 0.01f);
    EXPECT_EQ(scene.Fireflies[1].Cell, 19373);
    EXPECT_EQ(scene.Fireflies[1].Speed, 0.02f);
    for (const Firefly& fly : scene.Fireflies) {
        for (int32_t cell : fly.Trail) {
            EXPECT_EQ(cell, fly.Cell);
        }
        EXPECT_EQ(fly.NextStepTime, 0);
    }
    EXPECT_EQ(scene.FireflyCount, 500);
    EXPECT_TRUE(scene.ShowBackground);
    // The cell table centres the lattice on the origin; 19373 = 23 * 900 + 15 * 30 + 23.
    EXPECT_EQ(scene.cells[0].X, -15);
    EXPECT_EQ(scene.cells[0].Y, -12);
    EXPECT_EQ(scene.cells[0].Z, -15);
    EXPECT_EQ(scene.cells[19373].X, 23 - 15);
    EXPECT_EQ(scene.cells[19373].Y, 21 - 12);
    EXPECT_EQ(scene.cells[19373].Z, 15 - 15);
    EXPECT_EQ(scene.cells[kCellCount - 1].X, 14);
    EXPECT_EQ(scene.cells[kCellCount - 1].Y, 12);
    EXPECT_EQ(scene.cells[kCellCount - 1].Z, 14);
}

TEST(FireflyScene, SpeedClassesAndTheirPeriods) {
    FireflyScene scene;
    scene.SetUp(12345);
    std::set<float> speeds;
    for (const Firefly& fly : scene.Fireflies) {
        speeds.insert(fly.Speed);
    }
    EXPECT_EQ(speeds, (std::set<float>{0.01f, 0.02f, 0.03f, 0.04f, 0.05f}));
    const std::pair<float, int64_t> periods[] = {
        {0.01f, 1000}, {0.02f, 500}, {0.03f, 333}, {0.04f, 250}, {0.05f, 200}};
    for (auto [speed, period] : periods) {
        EXPECT_EQ(FireflyScene::StepPeriod(speed), period) << speed;
    }
}

// Thousands of steps for every firefly: each step goes to a lattice neighbour, never stands
// still, never goes straight back, and the trail shifts by one.
TEST(FireflyScene, WalkStaysOnTheLatticeAndNeverTurnsBack) {
    FireflyScene scene;
    scene.SetUp(7);
    scene.FireflyCount = kMaxFireflies;
    FrameGeometry frame;
    int64_t steps = 0;
    for (int64_t t = 0; t < 600000; t += 97) {
        const auto before = scene.Fireflies;
        scene.BuildFrame(t, frame);
        for (int i = 0; i < kMaxFireflies; ++i) {
            const Firefly& old = before[i];
            const Firefly& now = scene.Fireflies[i];
            if (now.NextStepTime == old.NextStepTime) {
                continue;
            }
            ++steps;
            ASSERT_EQ(now.Trail[0], old.Cell);
            for (int j = 1; j < 6; ++j) {
                ASSERT_EQ(now.Trail[j], old.Trail[j - 1]);
            }
            ASSERT_GE(now.Cell, 0);
            ASSERT_LT(now.Cell, kCellCount);
            ASSERT_TRUE(AreNeighbours(now.Trail[0], now.Cell)) << now.Trail[0] << "->" << now.Cell;
            ASSERT_NE(now.Cell, now.Trail[1]);
        }
    }
    EXPECT_GT(steps, 1000000);
}

TEST(FireflyScene, CornerCellReachedFromCellOneGoesOnTo30Or900Evenly) {
    int to30 = 0;
    int to900 = 0;
    for (uint32_t seed = 0; seed < 2000; ++seed) {
        FireflyScene scene;
        scene.SetUp(seed);
        scene.FireflyCount = 1;
        Firefly& fly = scene.Fireflies[0];
        fly.Cell = 0;
        fly.Trail.fill(1);
        fly.NextStepTime = 0;
        scene.StepFireflies(0);
        ASSERT_TRUE(fly.Cell == 30 || fly.Cell == 900) << fly.Cell;
        (fly.Cell == 30 ? to30 : to900)++;
    }
    EXPECT_NEAR(to30, 1000, 120);
    EXPECT_NEAR(to900, 1000, 120);
}

// Frames every millisecond: a 0.03 firefly steps at 0, 333, 666 and 999, each step taken by
// the first frame at or after its time, and never twice in a late frame.
TEST(FireflyScene, StepsFallOnTheCommonTimeGrid) {
    FireflyScene scene;
    scene.SetUp(1);
    scene.FireflyCount = 1;
    scene.Fireflies[0].Speed = 0.03f;
    std::vector<int64_t> stepTimes;
    int64_t last = scene.Fireflies[0].NextStepTime;
    for (int64_t t = 0; t <= 1200; ++t) {
        scene.StepFireflies(t);
        if (scene.Fireflies[0].NextStepTime != last || t == 0) {
            stepTimes.push_back(t);
            last = scene.Fireflies[0].NextStepTime;
        }
    }
    EXPECT_EQ(stepTimes, (std::vector<int64_t>{0, 333, 666, 999}));
    // A frame 5 periods late takes one step and lands on the grid again.
    scene.StepFireflies(3000);
    EXPECT_EQ(scene.Fireflies[0].NextStepTime, 3330);
    const auto trail = scene.Fireflies[0].Trail;
    scene.StepFireflies(3001);
    EXPECT_EQ(scene.Fireflies[0].Trail, trail);
}

// Progress stays in [0, 1) at every frame, over simulated hours and far past the point where a
// 32-bit millisecond count would have overflowed.
TEST(FireflyScene, ProgressStaysInRangeForAnyRunningTime) {
    const int64_t starts[] = {0, (int64_t{1} << 31) - 5000, (int64_t{1} << 32) - 5000,
                              int64_t{1} << 45};
    for (int64_t start : starts) {
        FireflyScene scene;
        scene.SetUp(99);
        // A hundred fireflies hold every speed class; all thousand would make three hours of
        // frames too slow for the sanitizer build without testing anything more.
        scene.FireflyCount = 100;
        std::set<float> speeds;
        for (int32_t i = 0; i < scene.FireflyCount; ++i) {
            speeds.insert(scene.Fireflies[i].Speed);
        }
        ASSERT_EQ(speeds.size(), 5u);
        FrameGeometry frame;
        uint32_t jitter = 1;
        int64_t t = start;
        const int64_t end = start + (start == 0 ? 3 * 3600 * 1000 : 20000);
        while (t < end) {
            scene.BuildFrame(t, frame);
            for (int32_t i = 0; i < scene.FireflyCount; ++i) {
                const Firefly& fly = scene.Fireflies[i];
                if (!(fly.Progress >= 0.0f && fly.Progress < 1.0f && fly.NextStepTime > t)) {
                    FAIL() << "t=" << t << ": Progress " << fly.Progress << ", next step at "
                           << fly.NextStepTime;
                }
            }
            jitter = jitter * 1103515245u + 12345u;
            t += 1 + (jitter >> 16) % (start == 0 ? 400 : 40);
        }
    }
    // At the step instant itself Progress is 0 (0.001 for the 333 ms class), also for the
    // fastest class, whose rounded speed times its period is a hair above 10.
    for (float speed : {0.01f, 0.02f, 0.03f, 0.04f, 0.05f}) {
        FireflyScene scene;
        scene.SetUp(3);
        scene.FireflyCount = 1;
        scene.Fireflies[0].Speed = speed;
        FrameGeometry frame;
        scene.BuildFrame(0, frame);
        EXPECT_GE(scene.Fireflies[0].Progress, 0.0f) << speed;
        EXPECT_LT(scene.Fireflies[0].Progress, 0.002f) << speed;
    }
}

// Progress is rounded to single precision once, from an extended-precision quotient and
// product; rounding each operation on its own lands one unit off in the last place for these
// rows, and every trail and glow vertex inherits that.
TEST(FireflyScene, ProgressIsRoundedOnceFromTheExactShare) {
    struct Case {
        float speed;
        int64_t remaining; // milliseconds to the next step
        float progress;
    };
    const Case cases[] = {
        {0.01f, 44, 0x1.e978d6p-1f}, {0.01f, 109, 0x1.c83126p-1f},  {0.02f, 59, 0x1.c39582p-1f},
        {0.03f, 21, 0x1.dfbe76p-1f}, {0.03f, 333, 0x1.06265cp-10f}, {0.04f, 34, 0x1.ba5e36p-1f},
        {0.05f, 43, 0x1.91eb86p-1f}, {0.05f, 56, 0x1.70a3d6p-1f},   {0.05f, 200, 0.0f},
        {0.01f, 1000, 0x1.8p-26f},
    };
    for (const Case& c : cases) {
        FireflyScene scene;
        scene.SetUp(8);
        scene.FireflyCount = 1;
        Firefly& fly = scene.Fireflies[0];
        fly.Speed = c.speed;
        fly.Cell = 1;
        fly.Trail.fill(0);
        const int64_t t = 5000;
        fly.NextStepTime = t + c.remaining;
        FrameGeometry frame;
        scene.BuildFrame(t, frame);
        EXPECT_EQ(fly.Progress, c.progress) << c.speed << " " << c.remaining;
        EXPECT_EQ(frame.trails[0].head.x, -15.0f + c.progress) << c.speed << " " << c.remaining;
    }
}

TEST(FireflyScene, TurnAnglesStayWithinOneTurn) {
    EXPECT_FLOAT_EQ(FireflyScene::BackgroundAngle(1000), 2.0f);
    EXPECT_FLOAT_EQ(FireflyScene::CameraAngle(54000), 180.0f);
    EXPECT_FLOAT_EQ(FireflyScene::BackgroundAngle(179999), 359.998f);
    EXPECT_FLOAT_EQ(FireflyScene::BackgroundAngle(180000), 0.0f);
    // After 24.8 and 49.7 days a frame interval still turns by a frame's worth.
    for (int64_t t : {int64_t{1} << 31, int64_t{1} << 32, int64_t{1} << 50}) {
        const float a = FireflyScene::BackgroundAngle(t);
        const float b = FireflyScene::BackgroundAngle(t + 16);
        const float step = std::fmod(b - a + 360.0f, 360.0f);
        EXPECT_NEAR(step, 0.032f, 1e-4f) << t;
        EXPECT_GE(a, 0.0f);
        EXPECT_LT(a, 360.0f);
    }
}

TEST(FireflyScene, TrailAndGlowColoursAndPositions) {
    FireflyScene scene;
    scene.SetUp(5);
    scene.FireflyCount = 2;
    scene.Fireflies[0].Speed = 0.05f;
    scene.Fireflies[1].Speed = 0.04f;
    FrameGeometry frame;
    scene.BuildFrame(0, frame);
    // Halfway through the fastest firefly's 200 ms step.
    scene.BuildFrame(100, frame);
    const Firefly& fast = scene.Fireflies[0];
    ASSERT_FLOAT_EQ(fast.Progress, 0.5f);
    const TrailStrip& strip = frame.trails[0];
    for (int j = 1; j <= 5; ++j) {
        const float c = (6.0f - j) / 6.0f - 0.5f / 6.0f;
        EXPECT_FLOAT_EQ(strip.innerColours[j - 1].r, c + 0.5f);
        EXPECT_FLOAT_EQ(strip.innerColours[j - 1].g, c);
        EXPECT_FLOAT_EQ(strip.innerColours[j - 1].b, c);
        EXPECT_EQ(strip.inner[j - 1].X, scene.cells[fast.Trail[j - 1]].X);
    }
    const CellPos& from = scene.cells[fast.Trail[0]];
    const CellPos& to = scene.cells[fast.Cell];
    EXPECT_FLOAT_EQ(strip.head.x, from.X + 0.5f * (to.X - from.X));
    EXPECT_FLOAT_EQ(strip.head.y, from.Y + 0.5f * (to.Y - from.Y));
    EXPECT_FLOAT_EQ(strip.head.z, from.Z + 0.5f * (to.Z - from.Z));
    EXPECT_FLOAT_EQ(frame.glows[0].centre.x, strip.head.x);
    EXPECT_EQ(frame.glows[0].colour.g, 0.7f);
    EXPECT_EQ(frame.glows[0].colour.b, 0.7f);

    const TrailStrip& slow = frame.trails[1];
    EXPECT_GT(slow.innerColours[0].b, slow.innerColours[0].r);
    EXPECT_EQ(frame.glows[1].colour.g, 1.0f);
    EXPECT_EQ(frame.glows[1].colour.b, 1.0f);
    EXPECT_EQ(frame.count, 2);
}

// Compared bit for bit where the scene's rules fix every rounding step: the scene is compiled
// without fused multiply-adds (renderer/CMakeLists.txt), so every compiler gives these bits.
uint32_t Bits(float value) {
    return std::bit_cast<uint32_t>(value);
}

// The walk of the first firefly for seed 0 (it starts in the corner cell 0 with speed 0.01),
// worked out from the rules apart from this code: draw d = RandomBelow(6) and try the
// neighbour -1, +1, -30, +30, -900, +900 for d = 0 .. 5, inside the lattice, until the cell is
// neither the one left nor the one before. Every direction occurs, so swapping any two cases
// of the direction choice changes the walk.
TEST(FireflyScene, SeededWalkTakesTheStepsTheDirectionRulesGive) {
    const int32_t expected[] = {30,  31,  1,    2,    902,  901,  900, 930, 30,  0,   1,  901,
                                900, 930, 1830, 1831, 1832, 1862, 962, 963, 933, 934, 34, 4};
    FireflyScene scene;
    scene.SetUp(0);
    scene.FireflyCount = 1;
    ASSERT_EQ(scene.Fireflies[0].Cell, 0);
    ASSERT_EQ(FireflyScene::StepPeriod(scene.Fireflies[0].Speed), 1000);
    for (size_t step = 0; step < std::size(expected); ++step) {
        scene.StepFireflies(static_cast<int64_t>(step) * 1000);
        ASSERT_EQ(scene.Fireflies[0].Cell, expected[step]) << "step " << step;
    }
}

// Exact single-precision values: the levels (6 - j) / 6 - Progress / 6 rounded once from
// extended precision, the tint added to one channel, and the tail end on its way from
// Trail[5] to Trail[4]. Rounding each operation on its own would miss by one unit in the last
// place in several of these.
TEST(FireflyScene, TrailColoursAndTailEndToTheBit) {
    struct Case {
        float speed;
        int64_t remaining;
        float progress;
        float levels[5];
        float tinted[5];
        float tailX; // from cell 0 (x -15) toward cell 1 (x -14)
        bool reddish;
    };
    const Case cases[] = {
        {0.05f,
         56,
         0x1.70a3d6p-1f,
         {0x1.6d3a08p-1f, 0x1.17e4b2p-1f, 0x1.851eb8p-2f, 0x1.b4e81cp-3f, 0x1.7e4b1ap-5f},
         {0x1.369d04p+0f, 0x1.0bf258p+0f, 0x1.c28f5cp-1f, 0x1.6d3a08p-1f, 0x1.17e4b2p-1f},
         -0x1.c8f5c2p+3f,
         true},
        {0.01f,
         44,
         0x1.e978d6p-1f,
         {0x1.591688p-1f, 0x1.03c132p-1f, 0x1.5cd7b8p-2f, 0x1.645a1cp-3f, 0x1.e098d6p-8f},
         {0x1.2c8b44p+0f, 0x1.01e098p+0f, 0x1.ae6bdcp-1f, 0x1.591688p-1f, 0x1.03c132p-1f},
         -0x1.c16872p+3f,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        FireflyScene scene;
        scene.SetUp(8);
        scene.FireflyCount = 1;
        Firefly& fly = scene.Fireflies[0];
        fly.Speed = c.speed;
        fly.Cell = 2;
        fly.Trail = {1, 0, 900, 901, 1, 0};
        fly.NextStepTime = 5000 + c.remaining;
        FrameGeometry frame;
        scene.BuildFrame(5000, frame);
        ASSERT_EQ(Bits(fly.Progress), Bits(c.progress));
        const TrailStrip& strip = frame.trails[0];
        for (int j = 0; j < 5; ++j) {
            const Rgb& colour = strip.innerColours[j];
            const float plain = c.levels[j];
            const float tint = c.tinted[j];
            EXPECT_EQ(Bits(colour.r), Bits(c.reddish ? tint : plain)) << j + 1;
            EXPECT_EQ(Bits(colour.g), Bits(plain)) << j + 1;
            EXPECT_EQ(Bits(colour.b), Bits(c.reddish ? plain : tint)) << j + 1;
        }
        EXPECT_EQ(Bits(strip.tail.x), Bits(c.tailX));
        EXPECT_EQ(Bits(strip.tail.y), Bits(-12.0f));
        EXPECT_EQ(Bits(strip.tail.z), Bits(-15.0f));
        // The glow: white, or (1, 0.7, 0.7) for the fastest class, red channel included.
        const Rgb& glow = frame.glows[0].colour;
        EXPECT_EQ(Bits(glow.r), Bits(1.0f));
        EXPECT_EQ(Bits(glow.g), Bits(c.reddish ? 0x1.666666p-1f : 1.0f));
        EXPECT_EQ(Bits(glow.b), Bits(c.reddish ? 0x1.666666p-1f : 1.0f));
    }
}

TEST(FireflyScene, LoweringAndRaisingTheCountBringsBackTheSameFireflies) {
    FireflyScene scene;
    scene.SetUp(11);
    scene.FireflyCount = 10;
    FrameGeometry frame;
    scene.BuildFrame(0, frame);
    scene.BuildFrame(500, frame);
    const Firefly parked = scene.Fireflies[9];
    scene.FireflyCount = 9;
    for (int64_t t = 600; t < 5000; t += 50) {
        scene.BuildFrame(t, frame);
    }
    EXPECT_EQ(scene.Fireflies[9].Cell, parked.Cell);
    EXPECT_EQ(scene.Fireflies[9].Trail, parked.Trail);
    EXPECT_EQ(scene.Fireflies[9].NextStepTime, parked.NextStepTime);
    scene.FireflyCount = 10;
    scene.BuildFrame(5000, frame);
    EXPECT_EQ(scene.Fireflies[9].Trail[0], parked.Cell);
    EXPECT_GT(scene.Fireflies[9].NextStepTime, 5000);
}

TEST(FireflyScene, KeysChangeCountWithinBoundsAndToggleTheBackground) {
    struct Case {
        int start;
        int key;
        int expectedCount;
    };
    const Case cases[] = {{500, kVkAdd, 501},  {1000, kVkAdd, 1000},   {1, kVkSubtract, 1},
                          {2, kVkSubtract, 1}, {500, kVkOemPlus, 500}, {500, kVkOemMinus, 500},
                          {500, 'A', 500}};
    for (const Case& c : cases) {
        FireflyScene scene;
        scene.FireflyCount = c.start;
        KeyState keys{};
        keys[c.key] = true;
        scene.HandleKeys(keys);
        EXPECT_EQ(scene.FireflyCount, c.expectedCount) << c.key;
        EXPECT_TRUE(keys[c.key]) << "only B clears its key";
        EXPECT_TRUE(scene.ShowBackground);
    }
    FireflyScene scene;
    KeyState keys{};
    keys[kVkB] = true;
    scene.HandleKeys(keys);
    EXPECT_FALSE(scene.ShowBackground);
    EXPECT_FALSE(keys[kVkB]);
    scene.HandleKeys(keys);
    EXPECT_FALSE(scene.ShowBackground) << "a held B toggles only on a repeated key-down";
    keys[kVkB] = true;
    scene.HandleKeys(keys);
    EXPECT_TRUE(scene.ShowBackground);
}

TEST(FireflyScene, SameSeedAndTimesReplayTheSameFrames) {
    FireflyScene a;
    FireflyScene b;
    a.SetUp(2024);
    b.SetUp(2024);
    FrameGeometry fa;
    FrameGeometry fb;
    for (int64_t t = 0; t < 20000; t += 33) {
        a.BuildFrame(t, fa);
        b.BuildFrame(t, fb);
    }
    for (int i = 0; i < fa.count; ++i) {
        ASSERT_EQ(fa.glows[i].centre.x, fb.glows[i].centre.x);
        ASSERT_EQ(fa.trails[i].tail.z, fb.trails[i].tail.z);
    }
}

} // namespace
} // namespace kovessa
