#include "renderer/frame_pacer.h"
#include "renderer/pointer_watch.h"
#include "renderer/renderer_loop.h"
#include "renderer/scene_clock.h"
#include "renderer/virtual_keys.h"

#include <gtest/gtest.h>

namespace kovessa {
namespace {

TEST(SceneClock, FirstFrameIsHalfTheElapsedTimeThenFollowsRealTime) {
    SceneClock clock;
    clock.Start(5000);
    EXPECT_EQ(clock.Advance(5040), 20);
    EXPECT_EQ(clock.Advance(5080), 50); // (20 + 80) / 2
    EXPECT_EQ(clock.Advance(5080), 65); // catches up while frames come fast
    EXPECT_EQ(clock.Advance(5081), 73); // (65 + 81) / 2, truncated
}

// Started at a tick count near 2^31 and 2^32 milliseconds, and run across those marks, the
// scene time keeps rising by the frame interval, as it does in the first minute.
TEST(SceneClock, KeepsRunningAcrossThe32BitMarks) {
    const int64_t marks[] = {int64_t{1} << 31, int64_t{1} << 32};
    for (int64_t mark : marks) {
        // A show started just before the mark, and one that has run up to the mark.
        for (int64_t start : {mark - 1000, int64_t{0}}) {
            SceneClock clock;
            clock.Start(start);
            int64_t now = start;
            int64_t previous = 0;
            // Jump close to the mark, then settle with frames 16 ms apart.
            now = mark - 2000;
            for (int i = 0; i < 40; ++i) {
                previous = clock.Advance(now);
            }
            for (int i = 0; i < 400; ++i) {
                now += 16;
                const int64_t t = clock.Advance(now);
                ASSERT_GE(t, previous);
                ASSERT_LE(now - start - t, 20) << "scene time trails by about one frame";
                previous = t;
            }
            EXPECT_GT(now, mark);
        }
    }
}

TEST(SceneClock, NeverRunsBackwards) {
    SceneClock clock;
    clock.Start(1000);
    clock.Advance(3000);
    const int64_t t = clock.SceneTime;
    EXPECT_GE(clock.Advance(1500), t);
}

TEST(PointerWatch, EndsOnlyBeyond30PixelsOnBothAxes) {
    struct Case {
        int dx;
        int dy;
        bool ends;
    };
    const Case cases[] = {{200, 0, false}, {0, 200, false},  {30, 30, false},  {31, 30, false},
                          {31, 31, true},  {-31, -31, true}, {500, -40, true}, {-29, 900, false}};
    PointerWatch watch;
    watch.Start(960, 540);
    for (const Case& c : cases) {
        EXPECT_EQ(watch.MovedAway(960 + c.dx, 540 + c.dy), c.ends) << c.dx << "," << c.dy;
    }
}

TEST(FramePacer, KeepsFramesOnTheRefreshGrid) {
    FramePacer pacer(FramePacer::PeriodForRefreshRate(60));
    ASSERT_EQ(pacer.PeriodMicros(), 16666);
    EXPECT_EQ(pacer.WaitMicros(0), 0) << "the first frame is drawn at once";
    pacer.FrameStarted(0);
    EXPECT_EQ(pacer.WaitMicros(3000), 13666);
    // A frame started a little late does not shift the grid.
    pacer.FrameStarted(17000);
    EXPECT_EQ(pacer.WaitMicros(20000), 2 * 16666 - 20000);
    // After a frame much slower than a period, the grid starts again instead of drawing a
    // burst of frames to catch up.
    pacer.FrameStarted(100000);
    EXPECT_EQ(pacer.WaitMicros(100000), 16666);
    EXPECT_EQ(pacer.WaitMicros(120000), 0);

    FramePacer unknownRate(FramePacer::PeriodForRefreshRate(0));
    EXPECT_EQ(unknownRate.PeriodMicros(), 16666);
    FramePacer unpaced;
    unpaced.FrameStarted(0);
    EXPECT_FALSE(unpaced.Paced());
    EXPECT_EQ(unpaced.WaitMicros(1), 0);
}

// The loop both renderers share: the keys a frame saw act once, and Esc ends the show even when
// it was tapped between two frames.
TEST(RendererLoop, KeysSeenByAFrameActOnceAndEscEnds) {
    RendererLoop loop;
    loop.Scene().SetUp(1);
    loop.Start(0, true, 0);
    loop.WatchPointerFrom({100, 100});
    const bool shown = loop.Scene().ShowBackground;
    loop.Keys().Press(kVkB);
    loop.Keys().Release(kVkB);
    loop.BuildFrame(16, 16000);
    EXPECT_TRUE(loop.GoesOnAfterFrame(ScreenPoint{100, 100}));
    EXPECT_NE(loop.Scene().ShowBackground, shown);
    loop.BuildFrame(32, 32000);
    EXPECT_TRUE(loop.GoesOnAfterFrame(ScreenPoint{100, 100}));
    EXPECT_NE(loop.Scene().ShowBackground, shown) << "the tap acted twice";

    loop.Keys().Press(kVkEscape);
    loop.Keys().Release(kVkEscape);
    loop.BuildFrame(48, 48000);
    EXPECT_FALSE(loop.GoesOnAfterFrame(ScreenPoint{100, 100}));
}

TEST(RendererLoop, EndsWhenThePointerLeavesOnBothAxesAndNeverOnAnUnreadablePosition) {
    RendererLoop loop;
    loop.Scene().SetUp(1);
    loop.Start(0, true, 0);
    loop.WatchPointerFrom({500, 400});
    EXPECT_TRUE(loop.GoesOnAfterFrame(std::nullopt));
    EXPECT_TRUE(loop.GoesOnAfterFrame(ScreenPoint{800, 400}));
    EXPECT_FALSE(loop.GoesOnAfterFrame(ScreenPoint{531, 431}));
}

// Where the swap does not wait for the vertical blank, the loop waits a refresh period after a
// frame; where it does, the next frame is always due.
TEST(RendererLoop, PacesFramesOnlyWithoutVsync) {
    RendererLoop paced;
    paced.Scene().SetUp(1);
    paced.Start(0, false, 50);
    paced.BuildFrame(0, 1000);
    EXPECT_EQ(paced.WaitMicros(1000), 20000);
    RendererLoop synced;
    synced.Scene().SetUp(1);
    synced.Start(0, true, 50);
    synced.BuildFrame(0, 1000);
    EXPECT_EQ(synced.WaitMicros(1000), 0);
}

} // namespace
} // namespace kovessa
