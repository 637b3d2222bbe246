#include "show/zeruma_s.h"

#include "launcher/process_end.h"
#include "launcher/process_start.h"
#include "launcher/window_titles.h"
#include "launcher/x11_desktop.h"
#include "show/handoff_bitmap.h"
#include "show/qt_rgb_image.h"
#include "show/show_pictures.h"

#include "launcher/handoff_folder.h"
#if KOVESSA_SHOW_HAS_MUSIC
#include "music/default_media_platform.h"
#include "show/zeruma_bgm_music.h"
#else
#include "show/show_music.h"
#endif

#include <cstdio>

namespace kovessa {

namespace {

// Failures here never stop the show; a line on standard error says why the renderer will
// complain about its textures.
void savePicture(const QImage& picture, const char* name) {
    std::string error;
    if (!WriteHandoffBitmap(name, ToRgbImage(picture), &error))
        std::fprintf(stderr, "Kovessa.scr: %s not written: %s\n", name, error.c_str());
}

#if !KOVESSA_SHOW_HAS_MUSIC
// FIXME: stands in until the music module is in the tree.
class SilentMusic : public ShowMusic {
public:
    void OpenCD() override {}
    void CheckCD() override {}
    bool CDReady() const override { return false; }
    void CloseCD() override {}
    void PlayMP3() override {}
    void RepeatMP3() override {}
    void CloseMP3() override {}
    void PlayWave() override {}
    void StopWave() override {}
};
#endif

std::unique_ptr<ShowMusic> makeMusic(AppContext& app) {
#if KOVESSA_SHOW_HAS_MUSIC
    return std::make_unique<ZerumaBgmMusic>(app.music, app.shared.APIResult,
                                            [] { return CreateDefaultMediaPlatform(); });
#else
    (void)app;
    return std::make_unique<SilentMusic>();
#endif
}

} // namespace

Zeruma_S::Zeruma_S(AppContext& app, QWidget* parent)
    : Form(parent), app_(app), Pic1_(GlowPicture()), Pic2_(EarthPicture()), music_(makeMusic(app)),
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
    if (!kovessa::StartProgram(path))
        std::fprintf(stderr, "Kovessa.scr: cannot start %s\n", path.c_str());
}

std::optional<ScreenPoint> Zeruma_S::GetCursorPos() {
    int x = 0;
    int y = 0;
    if (!x11::GetCursorPos(x, y))
        return std::nullopt;
    return ScreenPoint{x, y};
}

void Zeruma_S::ShowCursor() {
    x11::ShowCursor();
}

void Zeruma_S::SetTimerEnabled(ShowTimer which, bool enabled) {
    QTimer& t = timer(which);
    if (enabled && !t.isActive())
        t.start();
    else if (!enabled)
        t.stop();
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
