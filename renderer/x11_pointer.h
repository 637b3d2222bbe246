#pragma once

#include "common/screen_rect.h"

#include <SDL.h>

#include <optional>

namespace kovessa {

// GetCursorPos: the pointer's position on the screen, read with XQueryPointer on the root
// window of the renderer's own X connection. SDL's global mouse state is not used because it
// misses pointer warps. nullopt when the position cannot be read.
std::optional<ScreenPoint> GetCursorPos(SDL_Window* window);

} // namespace kovessa
