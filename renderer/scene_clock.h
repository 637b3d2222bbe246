#pragma once

#include <cstdint>

namespace kovessa {

// The smoothed scene time that drives every animation. Each frame takes the mean of the
// previous scene time and the real milliseconds since the start, which evens out uneven frame
// intervals and trails real time by about one frame.
//
// Everything is 64-bit: the tick source is a 64-bit monotonic millisecond count that does not
// wrap, and the scene time does not overflow after 24.8 days as a 32-bit count would.
class SceneClock {
public:
    // StartTicks: the tick count just before the loop.
    void Start(int64_t nowTicks) {
        StartTicks = nowTicks;
        SceneTime = 0;
    }

    // The scene time for a frame drawn at nowTicks.
    int64_t Advance(int64_t nowTicks) {
        int64_t elapsed = nowTicks - StartTicks;
        // A tick source that stepped backwards must not turn the scene back.
        if (elapsed < SceneTime) {
            elapsed = SceneTime;
        }
        SceneTime = (SceneTime + elapsed) / 2;
        return SceneTime;
    }

    int64_t SceneTime = 0;
    int64_t StartTicks = 0;
};

} // namespace kovessa
