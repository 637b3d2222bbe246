#pragma once

#include "show/handoff_bitmap.h"
#include "show/show_services.h"

#include <string>
#include <vector>

namespace kovessa {

// What the show's first two steps (StartShow) ask of the desktop. A shell may carry them out
// before its window toolkit is up; tests record the calls.
class ShowStartServices {
public:
    virtual ~ShowStartServices() = default;

    // Writes the glow picture, then the Earth picture, as the renderer's hand-off bitmaps.
    virtual HandoffResult HandOverPictures() = 0;
    // Starts the renderer at `launch.path` with `arguments` and returns at once; false when it
    // cannot run. Under a daemon the renderer must not outlive this process.
    virtual bool StartRenderer(const RendererLaunch& launch,
                               const std::vector<std::string>& arguments) = 0;
    // A line on standard error: the show has no message box.
    virtual void ReportProblem(const std::string& text) = 0;
};

} // namespace kovessa
