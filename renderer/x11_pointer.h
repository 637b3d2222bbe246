#pragma once

#include <SDL.h>

namespace kovessa {

// GetCursorPos: the pointer's position on the screen, read with XQueryPointer on the root
// window of the renderer's own X connection. SDL's global mouse state is not used because it
// misses pointer warps. False when the position cannot be read.
bool GetCursorPos(SDL_Window* window, int& x, int& y);

} // namespace kovessa
