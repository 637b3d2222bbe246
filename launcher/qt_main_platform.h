#pragma once

#include "launcher/app_context.h"
#include "launcher/main_platform.h"

namespace kovessa {

// The start steps on Qt and X11: the windows of the three modes, the message box and the
// pointer. The steps before a window talk to X directly; the window toolkit is brought up by
// the first step that needs it, so that a show's renderer can start before it.
class QtMainPlatform : public MainPlatform {
public:
    // `programName` is what the toolkit is told the program is called.
    QtMainPlatform(AppContext& app, char* programName) : app_(app), programName_(programName) {}

    // Brings the window toolkit up, once; every later step may use it.
    void StartToolkit();

    bool WindowExists(const std::string& title) override;
    void LoadSettings() override;
    bool FileExists(const std::string& path) override;
    void ShowMissingRendererMessage() override;
    void ShowPreview(int32_t parentHandle) override;
    void ShowSettingsDialog() override;
    void HideCursor() override;
    void LoadShow() override;
    bool ClaimShow() override;
    bool IsWindow(unsigned long window) override;
    unsigned long RootWindow() override;
    void ReportProblem(const std::string& text) override;
    void LoadHack(unsigned long window) override;

private:
    AppContext& app_;
    char* programName_;
    bool toolkitStarted_ = false;
};

} // namespace kovessa
