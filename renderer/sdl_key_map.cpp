#include "renderer/sdl_key_map.h"

#include "renderer/virtual_keys.h"

namespace kovessa {

int VirtualKeyFor(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return 'A' + (key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return '0' + (key - SDLK_0);
    }
    switch (key) {
    case SDLK_ESCAPE:
        return kVkEscape;
    case SDLK_BACKSPACE:
        return kVkBack;
    case SDLK_RETURN:
        return 13;
    case SDLK_SPACE:
        return 32;
    case SDLK_KP_PLUS:
        return kVkAdd;
    case SDLK_KP_MINUS:
        return kVkSubtract;
    case SDLK_EQUALS:
    case SDLK_PLUS:
        return kVkOemPlus;
    case SDLK_MINUS:
        return kVkOemMinus;
    default:
        return -1;
    }
}

} // namespace kovessa
