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

// How the renderer is started: full screen, or into a window a screensaver daemon gave.
struct RendererLaunch {
    std::string path;
    std::optional<unsigned long> window; // set in hack mode
};

// What the show controller asks of the window and the desktop once the window exists. The show
// window implements it over Qt and X11, and tells the controller through RendererEnded when the
// renderer has ended; tests record the calls.
class ShowServices {
public:
    virtual ~ShowServices() = default;

    // In hack mode, one instance per user and display plays the music (several monitors run
    // several instances). True when this instance has the claim; it ends with the process.
    virtual bool ClaimMusic() = 0;
    // The pointer's screen position, or nothing when it cannot be read.
    virtual std::optional<ScreenPoint> GetCursorPos() = 0;
    // Undo the one hide of the pointer made for a show started with /s.
    virtual void ShowCursor() = 0;
    virtual void SetTimerEnabled(ShowTimer timer, bool enabled) = 0;
    // Unload the show window: runs the end sequence.
    virtual void Unload() = 0;
    // End the process without running any further handler.
    virtual void EndProcessAtOnce(int code) = 0;
};

} // namespace kovessa
