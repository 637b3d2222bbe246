#pragma once

#include "launcher/app_context.h"
#include "show/show_music.h"
#include "show/show_services.h"

#include <string>

namespace kovessa {

// The decisions of the show window Zeruma_S, free of any toolkit: what its load handler does
// and in which order, what each timer tick does, and the end sequence. The window forwards its
// handlers here and carries out the calls on ShowServices.
class ShowController {
public:
    // The pointer must stand further than this from the start point on both axes to end the
    // show.
    static constexpr int kPointerTolerance = 30;

    ShowController(AppContext& app, ShowServices& services, ShowMusic& music);

    // How this process starts the renderer: full screen, or into the daemon's window.
    static RendererLaunch RendererLaunchFor(const AppContext& app);

    // Hand-off bitmaps, renderer, music, then the pointer's start position.
    void Form_Load();
    // The renderer has ended (by itself or killed), with its exit status.
    void RendererEnded(int status);
    void Timer1_Timer(); // MP3 watch
    void Timer2_Timer(); // CD watch
    void Timer3_Timer(); // pointer watch
    // Stops the music, shows the pointer again after /s and ends the process. Every close,
    // whoever asks for it, takes this path, and it runs at most once.
    void Form_QueryUnload();

    bool TimerEnabled(ShowTimer timer) const;
    const std::string& RendererPath() const { return RendererPath_; }

private:
    void startMusic();
    void setTimer(ShowTimer timer, bool enabled);
    // Stores a pointer position the way the shared 16-bit variables hold it.
    void recordOpenPoint();

    AppContext& app_;
    ShowServices& services_;
    ShowMusic& music_;
    std::string RendererPath_;
    bool timer1_ = false;
    bool timer2_ = false;
    bool timer3_ = false;
    bool ending_ = false;
    int exitCode_ = 0;
    bool musicStarted_ = false;
};

} // namespace kovessa
