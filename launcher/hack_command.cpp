#include "launcher/hack_command.h"

#include "common/window_id.h"

#include <string_view>

namespace kovessa {

namespace {

// Both the one-dash and the two-dash spelling, as X programs accept them.
bool IsOption(std::string_view argument, std::string_view name) {
    if (argument.starts_with("--")) {
        argument.remove_prefix(2);
    } else if (argument.starts_with("-")) {
        argument.remove_prefix(1);
    } else {
        return false;
    }
    return argument == name;
}

} // namespace

std::optional<HackCommand> ReadHackCommand(const std::vector<std::string>& arguments,
                                           const char* daemonWindow) {
    bool hack = false;
    std::optional<std::string> windowText;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (IsOption(argument, "root")) {
            hack = true;
        } else if (IsOption(argument, "window-id")) {
            hack = true;
            windowText = i + 1 < arguments.size() ? arguments[++i] : std::string();
        } else if (const std::size_t eq = argument.find('=');
                   eq != std::string::npos && IsOption(argument.substr(0, eq), "window-id")) {
            hack = true;
            windowText = argument.substr(eq + 1);
        }
    }
    if (!hack) {
        return std::nullopt;
    }

    HackCommand command;
    const char* source = "--window-id";
    if (!windowText && daemonWindow != nullptr && daemonWindow[0] != '\0') {
        windowText = daemonWindow;
        source = "XSCREENSAVER_WINDOW";
    }
    if (windowText) {
        command.window = ReadWindowId(*windowText);
        if (!command.window) {
            command.error = std::string(source) + " \"" + *windowText + "\" is not a window id";
        }
    }
    return command;
}

} // namespace kovessa
