#include "show/zeruma_s.h"

#include "common/handoff_folder.h"
#include "common/window_titles.h"
#include "launcher/process_end.h"
#include "launcher/process_start.h"
#include "launcher/x11_desktop.h"
#include "music/default_media_platform.h"
#include "show/handoff_bitmap.h"
#include "show/qt_rgb_pixels.h"
#include "show/show_pictures.h"
#include "show/zeruma_bgm_music.h"

#include <cstdio>

namespace kovessa {

namespace {

// Failures here never stop the show; a line on standard error says why the renderer will
// complain about its textures.
void savePicture(const QImage& picture, const char* name) {
    std::string error;
    if (!WriteHandoffBitmap(name, ToRgbPixels(picture), &error)) {
        std::fprintf(stderr, "Kovessa.scr: %s not written: %s\n", name, error.c_str());
    }
}

} // namespace

Zeruma_S::Zeruma_S(AppContext& app, QWidget* parent)
    : Form(parent), Pic1_(GlowPicture()), Pic2_(EarthPicture()),
      music_(std::make_unique<ZerumaBgmMusic>(app.music, app.shared.APIResult,
                                              [] { return CreateDefaultMediaPlatform(); })),
      controller_(app, *this, *music_) {
    setWindowTitle(QString::fromLatin1(kShowWindowTitle));

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

void Zeruma_S::SaveGlowBitmap() {
    savePicture(Pic1_, kGlowBitmapName);
}

void Zeruma_S::SaveBackgroundBitmap() {
    savePicture(Pic2_, kBackgroundBitmapName);
}

void Zeruma_S::StartProgram(const std::string& path) {
    if (!kovessa::StartProgram(path)) {
        std::fprintf(stderr, "Kovessa.scr: cannot start %s\n", path.c_str());
    }
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

void Zeruma_S::EndProcessAtOnce() {
    kovessa::EndProcessAtOnce(0);
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
