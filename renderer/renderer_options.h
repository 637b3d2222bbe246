#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kovessa {

// What Kovessa.scr may tell the renderer on its command line. Started with no arguments, the
// renderer runs full screen as it always has; other arguments are ignored.
struct RendererOptions {
    // Draw into this window of a screensaver daemon instead of a full-screen window of our own;
    // the daemon owns the keyboard and the pointer there, so neither ends the renderer.
    std::optional<unsigned long> window;
    // A one-shot private folder that holds the two pictures instead of the usual hand-off
    // folder; the renderer removes it once it has read them.
    std::optional<std::string> handoffFolder;
    // Set when an argument was meant for us but unusable; for standard error.
    std::string error;
};

RendererOptions ReadRendererOptions(const std::vector<std::string>& argumentsAfterProgram);

} // namespace kovessa
