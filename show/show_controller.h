#pragma once

#include "launcher/app_context.h"
#include "show/show_music.h"
#include "show/show_services.h"
#include "show/show_start.h"

namespace kovessa {

// The decisions of the show window Zeruma_S, free of any toolkit: what its load handler does
// and in which order, what each timer tick does, and the end sequence. The show's first two
// steps (StartShow) come before the window; the window forwards its handlers here and carries
// out the calls on ShowServices.
class ShowController {
public:
    // The pointer must stand further than this from the start point on both axes to end the
    // show.
    static constexpr int kPointerTolerance = 30;

    // `start` is what the show's first two steps left: the pictures and the renderer.
    ShowController(AppContext& app, ShowServices& services, ShowMusic& music, ShowStart start);

    // Ends the show when its renderer does not run; otherwise the pointer watch, the music,
    // then the pointer's start position.
    void Form_Load();
    // The renderer has ended (by itself or killed), with its exit status.
    void RendererEnded(int status);
    void Timer1_Timer(); // MP3 watch
    void Timer2_Timer(); // CD watch
    void Timer3_Timer(); // pointer watch
    // Stops the music, shows the pointer again after /s and ends the process. Every close,
    // whoever asks for it, takes this path, and it runs at most once.
    void Form_QueryUnload();

private:
    void StartMusic();
    void SetTimer(ShowTimer timer, bool enabled);
    // Stores a pointer position the way the shared 16-bit variables hold it.
    void RecordPointerAsOpenPoint();

    AppContext& app_;
    ShowServices& services_;
    ShowMusic& music_;
    ShowStart start_;
    bool timer1_ = false;
    bool timer2_ = false;
    bool timer3_ = false;
    bool ending_ = false;
    int exitCode_ = 0;
    bool musicStarted_ = false;
};

} // namespace kovessa
