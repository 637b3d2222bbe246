#include "launcher/main_flow.h"

#include "common/window_titles.h"
#include "launcher/command_line.h"
#include "launcher/program_paths.h"

namespace kovessa {

MainResult Main(const std::string& commandLine, const std::string& programFolder,
                MainPlatform& platform) {
    // All three titles are looked up, whatever the first lookups found.
    const bool showRunning = platform.WindowExists(kShowWindowTitle);
    const bool settingsOpen = platform.WindowExists(kSettingsWindowTitle);
    const bool rendererRunning = platform.WindowExists(kRendererWindowTitle);
    if (showRunning || settingsOpen || rendererRunning) {
        return MainResult::EndProcess;
    }

    const std::string letter = ModeLetter(commandLine);
    const bool show = letter == "S" || commandLine.empty();
    if (show && !platform.ClaimShow()) {
        return MainResult::EndProcess;
    }
    if (letter == "P") {
        // The preview needs neither the settings nor the renderer.
        platform.ShowPreview(PreviewHandle(commandLine));
        return MainResult::RunMessageLoop;
    }

    // Read before the renderer check, also when the check then fails.
    platform.LoadSettings();
    if (!platform.FileExists(JoinPath(programFolder, kRendererFileName))) {
        platform.ShowMissingRendererMessage();
        return MainResult::EndProcess;
    }

    if (letter == "C") {
        platform.ShowSettingsDialog();
        return MainResult::EndProcess;
    }
    if (letter != "S" && !commandLine.empty()) {
        return MainResult::EndProcess;
    }
    if (letter == "S") {
        platform.HideCursor();
    }
    platform.LoadShow();
    return MainResult::RunMessageLoop;
}

MainResult HackMain(const HackCommand& command, const std::string& programFolder,
                    MainPlatform& platform) {
    if (!command.error.empty()) {
        platform.ReportProblem(command.error);
        return MainResult::Fail;
    }
    const unsigned long window = command.window.value_or(platform.RootWindow());
    if (window == 0 || !platform.IsWindow(window)) {
        platform.ReportProblem("window " + std::to_string(window) + " is not a window");
        return MainResult::Fail;
    }
    platform.LoadSettings();
    if (!platform.FileExists(JoinPath(programFolder, kRendererFileName))) {
        platform.ReportProblem(kMissingRendererMessage);
        return MainResult::Fail;
    }
    platform.LoadHack(window);
    return MainResult::RunMessageLoop;
}

} // namespace kovessa
