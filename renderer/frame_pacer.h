#pragma once

#include <cstdint>

namespace kovessa {

// Paces the loop to the display's refresh rate where the driver cannot make the buffer swap
// wait for the vertical blank (Xvfb, some virtual machines). Without it the loop would draw as
// many frames as the processor allows, none of which anybody sees. Frame starts stay on a grid
// of whole periods; after a slow frame the grid restarts instead of drawing a burst.
class FramePacer {
public:
    // periodMicros 0: not paced (the swap paces the frames).
    explicit FramePacer(int64_t periodMicros = 0) : period_(periodMicros) {}

    bool Paced() const { return period_ > 0; }
    int64_t PeriodMicros() const { return period_; }

    // How long the loop should still wait for events before it draws the next frame.
    int64_t WaitMicros(int64_t nowMicros) const {
        if (period_ <= 0 || !started_ || nowMicros >= next_) {
            return 0;
        }
        return next_ - nowMicros;
    }

    // Called when a frame starts.
    void FrameStarted(int64_t nowMicros) {
        if (period_ <= 0) {
            return;
        }
        const bool onGrid = started_ && nowMicros < next_ + period_;
        next_ = onGrid ? next_ + period_ : nowMicros + period_;
        started_ = true;
    }

    // The period for a refresh rate in hertz; an unknown rate (0 or less) counts as 60 Hz.
    static int64_t PeriodForRefreshRate(int hertz) { return 1000000 / (hertz > 0 ? hertz : 60); }

private:
    int64_t period_;
    int64_t next_ = 0;
    bool started_ = false;
};

} // namespace kovessa
