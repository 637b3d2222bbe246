#include "renderer/sdl_message_box.h"

#include "common/problem_report.h"

#include <SDL.h>

namespace kovessa {

void SdlMessageBox::ShowMessage(const std::string& text, const std::string& caption,
                                MessageIcon icon) {
    ReportProblem(caption + ": " + text);
    const Uint32 flags = icon == MessageIcon::Stop ? SDL_MESSAGEBOX_ERROR : 0;
    SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr);
}

} // namespace kovessa
