#pragma once

#include "launcher/child_process.h"
#include "show/show_services.h"

#include <functional>
#include <optional>
#include <string>

namespace kovessa {

// The show's first two steps, taken before the window toolkit is up: the two pictures are
// handed over and, when at least one went, the renderer is started. The renderer's own start
// is the longest part of a show's start and need not wait for the toolkit's; the show window
// then takes what was done here instead of doing it again.
struct EarlyStart {
    bool picturesHandedOver = false;
    // Set when the renderer runs.
    std::optional<StartedChild> renderer;
    // The one-shot folder the running renderer reads its pictures from, when the usual folder
    // could not take them. This process made it, so this process removes it once the renderer
    // has ended, however that renderer ended.
    std::optional<std::string> oneShotFolder;
};

// Takes both steps in their order; each problem goes to `report` as it happens.
EarlyStart StartShowEarly(const RendererLaunch& launch,
                          const std::function<void(const std::string&)>& report);

} // namespace kovessa
