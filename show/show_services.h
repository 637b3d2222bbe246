#pragma once

#include "common/screen_rect.h"

#include <optional>
#include <string>

namespace kovessa {

// The three timers of the show window.
enum class ShowTimer {
    Timer1, // 1000 ms, MP3 watch
    Timer2, // 200 ms, CD watch
    Timer3, // 50 ms, pointer watch
};

// What the show controller asks of the window and the desktop. The show window implements it
// over Qt and X11; tests record the calls.
class ShowServices {
public:
    virtual ~ShowServices() = default;

    // Write the glow picture and the Earth picture as the renderer's hand-off bitmaps. A
    // failure is silent: the renderer reports missing files itself.
    virtual void SaveGlowBitmap() = 0;
    virtual void SaveBackgroundBitmap() = 0;
    // Start the program at `path` without waiting for it; a failure is silent.
    virtual void StartProgram(const std::string& path) = 0;
    // The pointer's screen position, or nothing when it cannot be read.
    virtual std::optional<ScreenPoint> GetCursorPos() = 0;
    // Undo the one hide of the pointer made for a show started with /s.
    virtual void ShowCursor() = 0;
    virtual void SetTimerEnabled(ShowTimer timer, bool enabled) = 0;
    // Unload the show window: runs the end sequence.
    virtual void Unload() = 0;
    // End the process without running any further handler.
    virtual void EndProcessAtOnce() = 0;
};

} // namespace kovessa
