#pragma once

#include "launcher/child_process.h"
#include "show/show_services.h"
#include "show/show_start.h"

#include <optional>

namespace kovessa {

// The show's first two steps (StartShow) taken on this desktop before the window toolkit is up,
// so that the renderer starts while the toolkit comes up: the pictures come from the compiled-in
// images, the renderer is a child process, and problems go to standard error. The show window
// then takes what was done here.
struct EarlyStart {
    ShowStart start;
    // Set when the renderer runs.
    std::optional<StartedChild> renderer;
};

EarlyStart StartShowEarly(const RendererLaunch& launch);

} // namespace kovessa
