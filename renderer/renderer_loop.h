#pragma once

#include "common/screen_rect.h"
#include "renderer/firefly_scene.h"
#include "renderer/frame_geometry.h"
#include "renderer/frame_pacer.h"
#include "renderer/key_latch.h"
#include "renderer/pointer_watch.h"
#include "renderer/scene_clock.h"

#include <cstdint>
#include <optional>

namespace kovessa {

// What the renderer's loop decides between the window's events, the same on every system: when
// the next frame is due, the scene of each frame, and the ends that the keys and the pointer
// give. Each shell keeps its own event loop, window and buffer swap, and asks this around every
// frame it draws.
class RendererLoop {
public:
    // The fireflies, which SetupScene seeds before the show starts.
    FireflyScene& Scene() { return scene_; }
    // The keys that the window's key messages press and release.
    KeyLatch& Keys() { return keys_; }

    // The show starts at tick count `tickMs`. Where the buffer swap does not wait for the
    // vertical blank, the frames are paced at `refreshRate` hertz (60 when it is unknown).
    void Start(int64_t tickMs, bool vsync, int refreshRate);
    // Where the pointer stood when the show started. A show whose window belongs to someone
    // else never watches the pointer.
    void WatchPointerFrom(ScreenPoint start) { StartCursor.Start(start.x, start.y); }

    // How long the loop should still wait for events before the next frame; 0 when it is due.
    int64_t WaitMicros(int64_t nowMicros) const { return pacer_.WaitMicros(nowMicros); }
    // Starts a frame at `nowMicros` and builds its scene for tick count `tickMs`.
    const FrameGeometry& BuildFrame(int64_t tickMs, int64_t nowMicros);
    // After a frame is on screen, in a window whose keyboard and pointer are the renderer's:
    // false when the show ends, on Esc or on the pointer at `pointer` having moved away (a
    // position that could not be read counts as no movement). Otherwise the keys this frame
    // saw act on the scene.
    bool GoesOnAfterFrame(std::optional<ScreenPoint> pointer);

private:
    FireflyScene scene_;
    FrameGeometry frame_;
    KeyLatch keys_;
    SceneClock clock_;
    FramePacer pacer_;
    PointerWatch StartCursor;
};

} // namespace kovessa
