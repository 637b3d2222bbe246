#pragma once

#include "launcher/app_context.h"
#include "show/show_services.h"
#include "show/show_start_services.h"

#include <optional>
#include <string>

namespace kovessa {

// What the show's first two steps left for the show window.
struct ShowStart {
    bool picturesHandedOver = false; // at least one picture reached the renderer's folder
    bool rendererStarted = false;    // the renderer runs
    // The one-shot folder the running renderer reads its pictures from, when the usual folder
    // could not take them. This process made it, so this process removes it once the renderer
    // has ended, however that renderer ended.
    std::optional<std::string> oneShotFolder;
};

// How this process starts the renderer (RendererPath, the program's folder and Kovessa.xy):
// full screen, or into the daemon's window.
RendererLaunch RendererLaunchFor(const AppContext& app);

// The show's first two steps, in their order: the two pictures are handed over and, when at
// least one went, the renderer is started and told where they lie. They come before the show
// window exists, since the renderer's own start is the longest part of a show's start; the
// window's load handler (ShowController::Form_Load) carries on from what they left. Each
// problem is reported as it happens.
ShowStart StartShow(const RendererLaunch& launch, ShowStartServices& services);

} // namespace kovessa
