#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kovessa {

// How a screensaver daemon starts the program: `--root` (or `-root`) for the saver window it
// names in XSCREENSAVER_WINDOW, and `--window-id <id>` (or `-window-id`, or `--window-id=<id>`)
// for its preview area, which it passes with `--root` still on the line. Such a start is a hack
// start; every other command line keeps the Windows switch rules.
struct HackCommand {
    // The window to draw into; nullopt means the whole screen (the root window), which is what
    // `--root` asks for when no daemon names a window.
    std::optional<unsigned long> window;
    // Set when the window named on the line or in the environment is not a window id; the
    // text says what was wrong, for standard error.
    std::string error;
};

// nullopt when the arguments are not a hack start. `daemonWindow` is the value of
// XSCREENSAVER_WINDOW, or nullptr. A window on the command line wins over the environment.
std::optional<HackCommand> ReadHackCommand(const std::vector<std::string>& argumentsAfterProgram,
                                           const char* daemonWindow);

} // namespace kovessa
