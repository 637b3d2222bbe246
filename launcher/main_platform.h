#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kovessa {

// What the start of Kovessa.scr asks of the system, one call per step, so that the order of the
// steps can be checked without a display. Each call does its whole step and reports nothing
// back unless the decision needs it.
class MainPlatform {
public:
    virtual ~MainPlatform() = default;

    // True when a window with exactly this title exists anywhere on the display.
    virtual bool WindowExists(const std::string& title) = 0;
    // Fills the music settings from the settings file.
    virtual void LoadSettings() = 0;
    // True when the file can be opened for reading.
    virtual bool FileExists(const std::string& path) = 0;
    // Shows the modal box about the missing renderer; returns once the user has closed it.
    virtual void ShowMissingRendererMessage() = 0;
    // Loads the preview window into the window `parentHandle` and shows it.
    virtual void ShowPreview(int32_t parentHandle) = 0;
    // Shows the settings dialog modally; returns once it has been unloaded.
    virtual void ShowSettingsDialog() = 0;
    // Hides the mouse pointer for the show.
    virtual void HideCursor() = 0;
    // Loads the hidden show window, which starts the show.
    virtual void LoadShow() = 0;

    // True when this process now holds the one show of this user on this display. Two starts
    // at the same instant can both pass the window-title guard; only one gets the claim.
    virtual bool ClaimShow() = 0;
    // True when `window` is a window on the display.
    virtual bool IsWindow(unsigned long window) = 0;
    // The root window of the screen, for a hack start that names no window.
    virtual unsigned long RootWindow() = 0;
    // A line on standard error, where a hack reports what a person would see in a box.
    virtual void ReportProblem(const std::string& text) = 0;
    // Loads the show for a screensaver daemon, drawing into `window`.
    virtual void LoadHack(unsigned long window) = 0;
};

} // namespace kovessa
