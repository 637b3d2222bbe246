#pragma once

#include "launcher/app_context.h"
#include "show/show_controller.h"
#include "show/show_services.h"
#include "show/zeruma_bgm_music.h"

#include <windows.h>

#include <optional>
#include <string>

namespace kovessa {

// The hidden show window "Zeruma_Main" on Windows: a top-level window that is never shown,
// whose timers drive the show controller. It hands the textures over, starts Kovessa.xy with
// CreateProcessW, plays the music through the system's media control interface, and ends the
// process when the pointer has moved far enough, the renderer has ended, or anyone closes it.
class Zeruma_S final : private ShowServices {
public:
    explicit Zeruma_S(AppContext& app);
    ~Zeruma_S() override;
    Zeruma_S(const Zeruma_S&) = delete;
    Zeruma_S& operator=(const Zeruma_S&) = delete;

    // Makes the hidden window and runs the load handler. False when no window could be made.
    bool Load();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool HandOverPictures() override;
    bool StartRenderer(const RendererLaunch& launch) override;
    bool ClaimMusic() override;
    std::optional<ScreenPoint> GetCursorPos() override;
    void ShowCursor() override;
    void SetTimerEnabled(ShowTimer timer, bool enabled) override;
    void ReportProblem(const std::string& text) override;
    void Unload() override;
    void EndProcessAtOnce(int code) override;

    void rendererEnded();

    HWND window_ = nullptr;
    ZerumaBgmMusic music_;
    ShowController controller_;
    // Set when the pictures went to a folder of their own that the renderer must be told.
    std::optional<std::string> oneShotFolder_;
    HANDLE renderer_ = nullptr;
};

} // namespace kovessa
