#pragma once

#include "launcher/hack_command.h"
#include "launcher/main_platform.h"

#include <string>

namespace kovessa {

// The one message the screensaver program can show.
inline constexpr const char* kMissingRendererMessage = "Kovessa.xyが同じﾌｫﾙﾀﾞに見つかりません！";

enum class MainResult {
    EndProcess,     // end the process at once with exit code 0
    RunMessageLoop, // a window has been set up; live on the message loop
    Fail,           // end the process at once with exit code 1 (a hack that cannot run)
};

// The start of Kovessa.scr: refuses to run beside a live part of the system, reads the mode
// letter and sets up the preview, the settings dialog or the show.
MainResult Main(const std::string& commandLine, const std::string& programFolder,
                MainPlatform& platform);

// The start under a screensaver daemon: no window-title guard (the daemon decides when a hack
// runs, and each monitor runs one), no message box (problems go to standard error) and no end
// on the pointer; the show lives until a signal ends it.
MainResult HackMain(const HackCommand& command, const std::string& programFolder,
                    MainPlatform& platform);

} // namespace kovessa
