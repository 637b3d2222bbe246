#include "show/show_controller.h"

#include "launcher/open_point.h"
#include "show/music_file_kind.h"

#include <cstdint>
#include <cstdlib>

namespace kovessa {

ShowController::ShowController(AppContext& app, ShowServices& services, ShowMusic& music,
                               ShowStart start)
    : app_(app), services_(services), music_(music), start_(start) {}

void ShowController::Form_Load() {
    // The pictures and the renderer came first; their problems are already reported. Without a
    // renderer nothing would be on screen: no show with music and a hidden pointer behind it.
    if (!start_.picturesHandedOver) {
        exitCode_ = 1;
        services_.Unload();
        return;
    }
    if (!start_.rendererStarted) {
        RendererEnded(1);
        return;
    }

    // The pointer watch runs from the moment the window exists; its first tick can only come
    // after this handler has returned. Under a daemon the daemon owns the pointer and decides
    // when the show ends.
    if (!app_.hackMode) {
        SetTimer(ShowTimer::Timer3, true);
    }

    // Several monitors give several instances under a daemon, but one stream of music.
    if (!app_.hackMode || services_.ClaimMusic()) {
        StartMusic();
    }

    // Taken last: starting the renderer and the music may take a moment, and the user's hand
    // on the mouse during that moment must not count as a move.
    if (!app_.hackMode) {
        RecordPointerAsOpenPoint();
    }
}

void ShowController::RendererEnded(int status) {
    // A show without its picture is over, whichever way the picture went: the music stops and
    // the pointer comes back as after a move. Under a daemon the end tells it that the hack
    // failed, unless the renderer ended cleanly (its window was destroyed).
    if (app_.hackMode && status != 0) {
        exitCode_ = 1;
    }
    SetTimer(ShowTimer::Timer3, false);
    services_.Unload();
}

void ShowController::StartMusic() {
    musicStarted_ = true;
    switch (app_.music.BGMKind) {
    case kBgmKindCD:
        music_.OpenCD();
        SetTimer(ShowTimer::Timer2, true);
        break;
    case kBgmKindFile:
        switch (MusicFileKindOf(app_.music.BGMFile)) {
        case MusicFileKind::Wave:
            music_.PlayWave(); // loops by itself, no watch needed
            break;
        case MusicFileKind::Mp3:
            music_.PlayMP3();
            SetTimer(ShowTimer::Timer1, true);
            break;
        case MusicFileKind::None:
            break;
        }
        break;
    default:
        break;
    }
}

void ShowController::Timer1_Timer() {
    music_.RepeatMP3();
}

void ShowController::Timer2_Timer() {
    music_.CheckCD();
    // Once the disc can no longer be queried the watch stops for the rest of the show.
    SetTimer(ShowTimer::Timer2, music_.IsCDReady());
}

void ShowController::Timer3_Timer() {
    const ScreenPoint now = services_.GetCursorPos().value_or(ScreenPoint{});
    const int64_t dy = std::llabs(int64_t{app_.shared.OpenPointY} - now.y);
    const int64_t dx = std::llabs(int64_t{app_.shared.OpenPointX} - now.x);
    // Both axes, not either: a nudge along one edge of the desk does not end the show.
    if (dy > kPointerTolerance && dx > kPointerTolerance) {
        SetTimer(ShowTimer::Timer3, false);
        services_.Unload();
    }
}

void ShowController::Form_QueryUnload() {
    if (ending_) {
        return;
    }
    ending_ = true;
    // When the CD watch has already stopped, the device is left to the end of the process.
    if (timer2_) {
        SetTimer(ShowTimer::Timer2, false);
        music_.CloseCD();
    }
    // An instance that never started music (another monitor's plays it) has none to stop, and
    // setting up a sound device only to stop nothing could hold up the end.
    if (musicStarted_ && app_.music.BGMKind == kBgmKindFile) {
        switch (MusicFileKindOf(app_.music.BGMFile)) {
        case MusicFileKind::Wave:
            music_.StopWave();
            break;
        case MusicFileKind::Mp3:
            music_.CloseMP3();
            break;
        case MusicFileKind::None:
            break;
        }
    }
    // Only a show started with /s hid the pointer.
    if (app_.modeLetter == "S" && !app_.hackMode) {
        services_.ShowCursor();
    }
    services_.EndProcessAtOnce(exitCode_);
}

void ShowController::SetTimer(ShowTimer timer, bool enabled) {
    switch (timer) {
    case ShowTimer::Timer1:
        timer1_ = enabled;
        break;
    case ShowTimer::Timer2:
        timer2_ = enabled;
        break;
    case ShowTimer::Timer3:
        timer3_ = enabled;
        break;
    }
    services_.SetTimerEnabled(timer, enabled);
}

void ShowController::RecordPointerAsOpenPoint() {
    RecordOpenPoint(app_.shared, services_.GetCursorPos());
}

} // namespace kovessa
