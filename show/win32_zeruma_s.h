#pragma once

#include "launcher/app_context.h"
#include "show/show_controller.h"
#include "show/show_services.h"
#include "show/show_start_services.h"
#include "show/zeruma_bgm_music.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kovessa {

// The hidden show window "Zeruma_Main" on Windows: a top-level window that is never shown,
// whose timers drive the show controller. It hands the textures over, starts Kovessa.xy with
// CreateProcessW, plays the music through the system's media control interface, and ends the
// process when the pointer has moved far enough, the renderer has ended, or anyone closes it.
class Zeruma_S final : private ShowServices, private ShowStartServices {
public:
    explicit Zeruma_S(AppContext& app);
    ~Zeruma_S() override;
    Zeruma_S(const Zeruma_S&) = delete;
    Zeruma_S& operator=(const Zeruma_S&) = delete;

    // Makes the hidden window and runs the load handler. False when no window could be made.
    bool Load();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HandoffResult HandOverPictures() override;
    bool StartRenderer(const RendererLaunch& launch,
                       const std::vector<std::string>& arguments) override;
    bool ClaimMusic() override;
    std::optional<ScreenPoint> GetCursorPos() override;
    void ShowCursor() override;
    void SetTimerEnabled(ShowTimer timer, bool enabled) override;
    void ReportProblem(const std::string& text) override;
    void Unload() override;
    void EndProcessAtOnce(int code) override;

    void rendererEnded();

    HWND window_ = nullptr;
    AppContext& app_;
    ZerumaBgmMusic music_;
    // Made once the show's first two steps have run, from what they left.
    std::optional<ShowController> controller_;
    // The one-shot hand-off folder this process made for the renderer, until it is removed.
    std::optional<std::string> oneShotFolder_;
    HANDLE renderer_ = nullptr;
};

} // namespace kovessa
