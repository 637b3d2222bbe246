#include "show/zeruma_s.h"

#include "common/handoff_folder.h"
#include "common/window_id.h"
#include "common/window_titles.h"
#include "launcher/child_process.h"
#include "launcher/process_end.h"
#include "launcher/x11_desktop.h"
#include "music/default_media_platform.h"
#include "show/handoff_bitmap.h"
#include "show/qt_rgb_pixels.h"
#include "show/show_pictures.h"
#include "show/zeruma_bgm_music.h"

#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace kovessa {

Zeruma_S::Zeruma_S(AppContext& app, QWidget* parent)
    : Form(parent), Pic1_(GlowPicture()), Pic2_(EarthPicture()),
      music_(std::make_unique<ZerumaBgmMusic>(app.music, app.shared.APIResult,
                                              [] { return CreateDefaultMediaPlatform(); })),
      controller_(app, *this, *music_) {
    // A hack carries no guarded caption: the daemon decides when it runs, and the settings
    // dialog must still open while a daemon's preview shows the scene.
    if (!app.hackMode) {
        setWindowTitle(QString::fromLatin1(kShowWindowTitle));
    }

    Timer1_.setInterval(1000);
    Timer2_.setInterval(200);
    Timer3_.setInterval(50);
    // The pointer watch decides how quickly the show reacts; keep its ticks on time.
    Timer3_.setTimerType(Qt::PreciseTimer);
    connect(&Timer1_, &QTimer::timeout, this, [this] { controller_.Timer1_Timer(); });
    connect(&Timer2_, &QTimer::timeout, this, [this] { controller_.Timer2_Timer(); });
    connect(&Timer3_, &QTimer::timeout, this, [this] { controller_.Timer3_Timer(); });
}

Zeruma_S::~Zeruma_S() = default;

void Zeruma_S::Form_Load() {
    controller_.Form_Load();
}

void Zeruma_S::Form_QueryUnload() {
    controller_.Form_QueryUnload();
}

bool Zeruma_S::HandOverPictures() {
    const HandoffResult result = kovessa::HandOverPictures(
        {{kGlowBitmapName, ToRgbPixels(Pic1_)}, {kBackgroundBitmapName, ToRgbPixels(Pic2_)}});
    for (const std::string& error : result.errors) {
        ReportProblem(error);
    }
    oneShotFolder_ = result.oneShotFolder;
    return result.written > 0;
}

bool Zeruma_S::StartRenderer(const RendererLaunch& launch) {
    ChildOptions options;
    if (launch.window) {
        options.arguments = {"--window-id", WindowIdText(*launch.window)};
        options.endWithParent = true;
    }
    if (oneShotFolder_) {
        options.arguments.insert(options.arguments.end(), {"--handoff-folder", *oneShotFolder_});
    }
    const std::optional<StartedChild> child = StartChild(launch.path, options);
    if (!child) {
        ReportProblem("cannot start " + launch.path);
        if (oneShotFolder_) {
            RemoveOneShotHandoffFolder(*oneShotFolder_);
        }
        return false;
    }
    if (child->exitFd < 0) {
        return true;
    }
    // The pidfd becomes readable when the renderer ends, however it ends.
    rendererWatch_ = new QSocketNotifier(child->exitFd, QSocketNotifier::Read, this);
    const pid_t pid = child->pid;
    connect(rendererWatch_, &QSocketNotifier::activated, this, [this, pid] {
        rendererWatch_->setEnabled(false);
        const std::optional<int> status = ReapChild(pid);
        controller_.RendererEnded(status.value_or(0));
    });
    return true;
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
    QTimer& t = timer(which);
    if (enabled && !t.isActive()) {
        t.start();
    } else if (!enabled) {
        t.stop();
    }
}

void Zeruma_S::Unload() {
    Form::Unload();
}

void Zeruma_S::ReportProblem(const std::string& text) {
    std::fprintf(stderr, "Kovessa.scr: %s\n", text.c_str());
}

void Zeruma_S::EndProcessAtOnce(int code) {
    kovessa::EndProcessAtOnce(code);
}

QTimer& Zeruma_S::timer(ShowTimer which) {
    switch (which) {
    case ShowTimer::Timer1:
        return Timer1_;
    case ShowTimer::Timer2:
        return Timer2_;
    case ShowTimer::Timer3:
        break;
    }
    return Timer3_;
}

} // namespace kovessa
