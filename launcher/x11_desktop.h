#pragma once

#include "common/screen_rect.h"

#include <optional>
#include <string>

typedef struct _XDisplay Display;

// The few desktop services of the X server that the screensaver program needs beyond Qt.
// Every call is safe with any window id: X errors are caught and read as failures, never as
// the end of the process.
namespace kovessa::x11 {

// Qt's X connection once the application runs on X; before that (or when Qt runs on another
// platform) a connection of this module's own, opened on first use. nullptr when no X server
// can be reached.
Display* XDisplay();

// Closes the module's own connection, if one was opened; Qt's is left alone.
void CloseOwnDisplay();

// GetCursorPos: the pointer's position on the screen; nullopt when it cannot be read.
std::optional<ScreenPoint> GetCursorPos();

// Hides and shows the pointer over the whole screen. The X server shows it again by itself
// when this process's connection closes, so a crash never leaves it hidden.
void HideCursor();
void ShowCursor();

// The first window anywhere in the tree (unmapped windows included) whose WM_NAME or
// _NET_WM_NAME is exactly `title`; 0 when there is none.
unsigned long FindWindowByTitle(const std::string& title);

// The window's rectangle on the screen, or nullopt when `window` is not a window.
std::optional<ScreenRect> GetWindowRect(unsigned long window);

// The root window of the default screen; 0 without a display.
unsigned long ScreenRootWindow();

// Takes the named selection for this process unless another client holds it. The claim lasts
// until this process's connection closes, so it ends with the process, however it ends. True
// when this process now holds it.
bool ClaimSelection(const std::string& name);

} // namespace kovessa::x11
