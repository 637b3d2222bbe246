#pragma once

#include "common/screen_rect.h"

#include <optional>
#include <string>

typedef struct _XDisplay Display;

// The few desktop services of the X server that the screensaver program needs beyond Qt.
// Every call is safe with any window id: X errors are caught and read as failures, never as
// the end of the process.
namespace kovessa::x11 {

// This module's own X connection, opened on first use and kept until the process ends; nullptr
// when no X server can be reached. It is not the toolkit's, and it serves the steps before the
// toolkit is up as well as after:
// - the show asks for the pointer's position twenty times a second, and answers on the
//   toolkit's connection would wake its event reader thread each time;
// - the server keeps the pointer hidden, and a claim held, for as long as the connection that
//   hid or claimed it lives, so hiding and showing must use one connection, and a claim ends
//   with the process however it ends;
// - a claim's server grab never touches the connection the toolkit reads from its own thread.
Display* XDisplay();

// GetCursorPos: the pointer's position on the screen; nullopt when it cannot be read.
std::optional<ScreenPoint> GetCursorPos();

// Hides and shows the pointer over the whole screen. The X server shows it again by itself
// when this module's connection closes with the process, so a crash never leaves it hidden.
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
// until this module's connection closes, so it ends with the process, however it ends. True
// when this process now holds it.
bool ClaimSelection(const std::string& name);

} // namespace kovessa::x11
