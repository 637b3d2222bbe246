#include "renderer/key_latch.h"

#include <gtest/gtest.h>

namespace kovessa {
namespace {

TEST(KeyLatch, ATapBetweenTwoFramesIsSeenByExactlyOneFrame) {
    KeyLatch keys;
    keys.Press(kVkEscape);
    keys.Release(kVkEscape);
    EXPECT_TRUE(keys.KeyDown()[kVkEscape]);
    keys.FrameSeen();
    EXPECT_FALSE(keys.KeyDown()[kVkEscape]);
}

TEST(KeyLatch, AHeldKeyIsDownUntilItsKeyUp) {
    KeyLatch keys;
    keys.Press(kVkAdd);
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_TRUE(keys.KeyDown()[kVkAdd]) << frame;
        keys.FrameSeen();
    }
    keys.Release(kVkAdd); // already seen: up at once
    EXPECT_FALSE(keys.KeyDown()[kVkAdd]);
    // Pressed again before the frame saw the release of a tap: down, and it stays down.
    keys.Press(kVkSubtract);
    keys.Release(kVkSubtract);
    keys.Press(kVkSubtract);
    keys.FrameSeen();
    EXPECT_TRUE(keys.KeyDown()[kVkSubtract]);
}

TEST(KeyLatch, AKeyTheFrameUsedUpStaysUpAndOthersAreUntouched) {
    KeyLatch keys;
    keys.Press(kVkB);
    keys.Press(kVkEscape);
    keys.Release(kVkEscape);
    keys.KeyDown()[kVkB] = false; // as the scene does once it has toggled the background
    keys.FrameSeen();
    EXPECT_FALSE(keys.KeyDown()[kVkB]);
    EXPECT_FALSE(keys.KeyDown()[kVkEscape]);
    keys.Press(-1);
    keys.Release(256);
    for (int vk = 0; vk < 256; ++vk) {
        EXPECT_FALSE(keys.KeyDown()[vk]) << vk;
    }
}

} // namespace
} // namespace kovessa
