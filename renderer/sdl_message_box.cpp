#include "renderer/sdl_message_box.h"

#include <cstdio>

#include <SDL.h>

namespace kovessa {

void SdlMessageBox::ShowMessage(const std::string& text, const std::string& caption,
                                MessageIcon icon) {
    std::fprintf(stderr, "Kovessa.xy: %s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    const Uint32 flags = icon == MessageIcon::Stop ? SDL_MESSAGEBOX_ERROR : 0;
    SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr);
}

} // namespace kovessa
