#pragma once

#include <SDL_keycode.h>

namespace kovessa {

// The virtual-key code for an SDL key, or -1 for a key the renderer does not track. Letters
// and digits follow the keyboard layout (the key that types B is B); the keypad's plus and
// minus are distinct from the main keyboard's.
int VirtualKeyFor(SDL_Keycode key);

} // namespace kovessa
