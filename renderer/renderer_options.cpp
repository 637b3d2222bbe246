#include "renderer/renderer_options.h"

#include "common/window_id.h"

namespace kovessa {

RendererOptions ReadRendererOptions(const std::vector<std::string>& arguments) {
    RendererOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--window-id") {
            const std::string value = hasValue ? arguments[++i] : std::string();
            options.window = ReadWindowId(value);
            if (!options.window) {
                options.error = "--window-id \"" + value + "\" is not a window id";
            }
        } else if (argument == "--handoff-folder" && hasValue) {
            options.handoffFolder = arguments[++i];
        }
    }
    return options;
}

} // namespace kovessa
