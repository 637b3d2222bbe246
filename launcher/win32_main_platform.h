#pragma once

#include "launcher/app_context.h"
#include "launcher/main_platform.h"

namespace kovessa {

// The start steps on Windows, each with the call the system offers for it: FindWindowA for the
// guard, MessageBoxW for the one message, ShowCursor, and the preview made a WS_CHILD of the
// window Windows names. The daemons' hack start does not exist on Windows.
class Win32MainPlatform : public MainPlatform {
public:
    explicit Win32MainPlatform(AppContext& app) : app_(app) {}

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
