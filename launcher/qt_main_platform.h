#pragma once

#include "launcher/app_context.h"
#include "launcher/main_platform.h"

namespace kovessa {

// The start steps on Qt and X11: the windows of the three modes, the message box and the
// pointer.
class QtMainPlatform : public MainPlatform {
public:
    explicit QtMainPlatform(AppContext& app) : app_(app) {}

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
};

} // namespace kovessa
