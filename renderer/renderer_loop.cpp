#include "renderer/renderer_loop.h"

#include "renderer/virtual_keys.h"

namespace kovessa {

void RendererLoop::Start(int64_t tickMs, bool vsync, int refreshRate) {
    pacer_ = vsync ? FramePacer() : FramePacer(FramePacer::PeriodForRefreshRate(refreshRate));
    clock_.Start(tickMs);
}

const FrameGeometry& RendererLoop::BuildFrame(int64_t tickMs, int64_t nowMicros) {
    pacer_.FrameStarted(nowMicros);
    scene_.BuildFrame(clock_.Advance(tickMs), frame_);
    return frame_;
}

bool RendererLoop::GoesOnAfterFrame(std::optional<ScreenPoint> pointer) {
    if (keys_.KeyDown()[kVkEscape]) {
        return false;
    }
    scene_.HandleKeys(keys_.KeyDown());
    keys_.FrameSeen();
    return !(pointer && StartCursor.MovedAway(pointer->x, pointer->y));
}

} // namespace kovessa
