#include "show/zeruma_s.h"

#include "common/handoff_folder.h"
#include "common/window_titles.h"
#include "launcher/child_process.h"
#include "launcher/process_end.h"
#include "launcher/x11_desktop.h"
#include "music/default_media_platform.h"
#include "show/zeruma_bgm_music.h"

#include <QSocketNotifier>

#include <unistd.h>

namespace kovessa {

Zeruma_S::Zeruma_S(AppContext& app, EarlyStart early, QWidget* parent)
    : Form(parent),
      music_(std::make_unique<ZerumaBgmMusic>(app.music, app.shared.APIResult,
                                              [] { return CreateDefaultMediaPlatform(); })),
      renderer_(early.renderer), oneShotFolder_(early.start.oneShotFolder),
      controller_(app, *this, *music_, early.start) {
    // A hack carries no guarded caption: the daemon decides when it runs, and the settings
    // dialog must still open while a daemon's preview shows the scene.
    if (!app.hackMode) {
        setWindowTitle(QString::fromLatin1(kShowWindowTitle));
    }

    timer1_.setInterval(1000);
    timer2_.setInterval(200);
    timer3_.setInterval(50);
    // The pointer watch decides how quickly the show reacts; keep its ticks on time.
    timer3_.setTimerType(Qt::PreciseTimer);
    connect(&timer1_, &QTimer::timeout, this, [this] { controller_.Timer1_Timer(); });
    connect(&timer2_, &QTimer::timeout, this, [this] { controller_.Timer2_Timer(); });
    connect(&timer3_, &QTimer::timeout, this, [this] { controller_.Timer3_Timer(); });
}

Zeruma_S::~Zeruma_S() = default;

void Zeruma_S::Form_Load() {
    WatchRenderer();
    controller_.Form_Load();
}

void Zeruma_S::Form_QueryUnload() {
    controller_.Form_QueryUnload();
}

void Zeruma_S::WatchRenderer() {
    if (!renderer_ || renderer_->exitFd < 0) {
        return;
    }
    // The pidfd becomes readable when the renderer ends, however it ends.
    rendererWatch_ = new QSocketNotifier(renderer_->exitFd, QSocketNotifier::Read, this);
    const pid_t pid = renderer_->pid;
    connect(rendererWatch_, &QSocketNotifier::activated, this, [this, pid] {
        rendererWatch_->setEnabled(false);
        const std::optional<int> status = ReapChild(pid);
        rendererEnded_ = true;
        RemoveOneShotFolder();
        controller_.RendererEnded(status.value_or(0));
    });
}

bool Zeruma_S::ClaimMusic() {
    return x11::ClaimSelection("_KOVESSA_MUSIC_" + std::to_string(getuid()));
}

std::optional<ScreenPoint> Zeruma_S::GetCursorPos() {
    return x11::GetCursorPos();
}

void Zeruma_S::ShowCursor() {
    x11::ShowCursor();
}

void Zeruma_S::SetTimerEnabled(ShowTimer which, bool enabled) {
    QTimer& t = Timer(which);
    if (enabled && !t.isActive()) {
        t.start();
    } else if (!enabled) {
        t.stop();
    }
}

void Zeruma_S::Unload() {
    Form::Unload();
}

void Zeruma_S::EndProcessAtOnce(int code) {
    // A renderer asked to end (on a signal to this process) is waited for first; once it is
    // gone, nobody reads the one-shot folder any more.
    FinishEndingChildren();
    if (renderer_ && !rendererEnded_ && ReapChild(renderer_->pid).has_value()) {
        rendererEnded_ = true;
    }
    if (rendererEnded_) {
        RemoveOneShotFolder();
    }
    kovessa::EndProcessAtOnce(code);
}

void Zeruma_S::RemoveOneShotFolder() {
    // The renderer removes the folder too once it has read the pictures, so that a long show
    // does not keep it; a renderer that failed before that leaves it to this process.
    if (oneShotFolder_) {
        RemoveOneShotHandoffFolder(*oneShotFolder_);
        oneShotFolder_.reset();
    }
}

QTimer& Zeruma_S::Timer(ShowTimer which) {
    switch (which) {
    case ShowTimer::Timer1:
        return timer1_;
    case ShowTimer::Timer2:
        return timer2_;
    case ShowTimer::Timer3:
        break;
    }
    return timer3_;
}

} // namespace kovessa
