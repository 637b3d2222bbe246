#pragma once

#include "launcher/app_context.h"
#include "launcher/child_process.h"
#include "launcher/qt_form.h"
#include "show/early_start.h"
#include "show/show_controller.h"
#include "show/show_services.h"

#include <QTimer>

#include <memory>
#include <optional>
#include <string>

class QSocketNotifier;

namespace kovessa {

class ShowMusic;

// The hidden show window "Zeruma_Main" that runs one full-screen show once the textures are
// handed over and the renderer started (EarlyStart): it starts the music, and ends the process
// once the pointer has moved far enough, the renderer has ended, or anyone asks the window to
// close. It is
// never shown; its caption is what a second start of the program finds. Under a screensaver
// daemon it runs the same show into the daemon's window, without the caption, until signalled.
class Zeruma_S : public Form, private ShowServices {
    Q_OBJECT
public:
    // `early` is what the process did for the show before the toolkit was up.
    Zeruma_S(AppContext& app, EarlyStart early, QWidget* parent = nullptr);
    ~Zeruma_S() override;

protected:
    void Form_Load() override;
    void Form_QueryUnload() override;

private:
    // Ends the show through the controller once the renderer started early has ended.
    void WatchRenderer();
    bool ClaimMusic() override;
    std::optional<ScreenPoint> GetCursorPos() override;
    void ShowCursor() override;
    void SetTimerEnabled(ShowTimer timer, bool enabled) override;
    void Unload() override;
    void EndProcessAtOnce(int code) override;

    QTimer& Timer(ShowTimer which);
    // Removes the one-shot hand-off folder this process made, if any.
    void RemoveOneShotFolder();

    QTimer timer1_;
    QTimer timer2_;
    QTimer timer3_;
    std::unique_ptr<ShowMusic> music_;
    std::optional<StartedChild> renderer_;
    // The one-shot hand-off folder this process made for the renderer, until it is removed.
    std::optional<std::string> oneShotFolder_;
    QSocketNotifier* rendererWatch_ = nullptr;
    bool rendererEnded_ = false; // reaped: it reads no picture any more
    ShowController controller_;
};

} // namespace kovessa
