#include "music/sdl_audio_library.h"

#include "common/problem_report.h"

#include <dlfcn.h>
#include <optional>
#include <string>

namespace kovessa {

namespace {

// The library's name for programs built against SDL 2, as its package installs it.
constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

std::optional<SdlAudioLibrary> Open() {
    // Kept open for the rest of the process: SDL's audio thread runs its code until the end.
    void* library = dlopen(kSdlLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        ReportProblem(std::string("no sound: ") + dlerror());
        return std::nullopt;
    }
    SdlAudioLibrary f{};
    const bool found = Find(library, "SDL_SetHint", f.setHint) &&
                       Find(library, "SDL_InitSubSystem", f.initSubSystem) &&
                       Find(library, "SDL_QuitSubSystem", f.quitSubSystem) &&
                       Find(library, "SDL_GetNumAudioDevices", f.getNumAudioDevices) &&
                       Find(library, "SDL_OpenAudioDevice", f.openAudioDevice) &&
                       Find(library, "SDL_CloseAudioDevice", f.closeAudioDevice) &&
                       Find(library, "SDL_PauseAudioDevice", f.pauseAudioDevice) &&
                       Find(library, "SDL_LockAudioDevice", f.lockAudioDevice) &&
                       Find(library, "SDL_UnlockAudioDevice", f.unlockAudioDevice) &&
                       Find(library, "SDL_NewAudioStream", f.newAudioStream) &&
                       Find(library, "SDL_FreeAudioStream", f.freeAudioStream) &&
                       Find(library, "SDL_AudioStreamPut", f.audioStreamPut) &&
                       Find(library, "SDL_AudioStreamGet", f.audioStreamGet) &&
                       Find(library, "SDL_AudioStreamAvailable", f.audioStreamAvailable) &&
                       Find(library, "SDL_AudioStreamClear", f.audioStreamClear);
    if (!found) {
        ReportProblem(std::string("no sound: ") + kSdlLibrary + " lacks an audio function");
        return std::nullopt;
    }
    return f;
}

} // namespace

const SdlAudioLibrary* OpenSdlAudioLibrary() {
    static const std::optional<SdlAudioLibrary> library = Open();
    return library ? &*library : nullptr;
}

} // namespace kovessa
