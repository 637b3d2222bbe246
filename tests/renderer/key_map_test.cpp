#include "renderer/sdl_key_map.h"
#include "renderer/virtual_keys.h"

#include <gtest/gtest.h>
#include <SDL_keyboard.h>

namespace kovessa {
namespace {

// The scene keys must come only from the keys the show names: the keypad's plus and minus, not
// the main keyboard's, and B by the letter it types.
TEST(SdlKeyMap, SceneKeysComeOnlyFromTheirOwnKeys) {
    struct Case {
        SDL_Keycode key;
        int vk;
    };
    const Case cases[] = {{SDLK_ESCAPE, kVkEscape},
                          {SDLK_KP_PLUS, kVkAdd},
                          {SDLK_KP_MINUS, kVkSubtract},
                          {SDLK_b, kVkB},
                          {SDLK_a, 'A'},
                          {SDLK_z, 'Z'},
                          {SDLK_5, '5'},
                          {SDLK_EQUALS, kVkOemPlus},
                          {SDLK_PLUS, kVkOemPlus},
                          {SDLK_MINUS, kVkOemMinus},
                          {SDLK_F1, -1},
                          {SDLK_LSHIFT, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(VirtualKeyFor(c.key), c.vk) << SDL_GetKeyName(c.key);
    }
}

} // namespace
} // namespace kovessa
