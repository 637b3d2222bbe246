#pragma once

#include "common/screen_rect.h"

#include <optional>

namespace kovessa {

// GetCursorPos: the pointer's position on the virtual screen in real pixels (the program is
// DPI-aware), from the system's own GetCursorPos. nullopt when it cannot be read, as on a
// secure desktop.
std::optional<ScreenPoint> GetCursorPos();

} // namespace kovessa
