#pragma once

#include <SDL.h>

namespace kovessa {

// SDL's audio functions, from the SDL library opened when the first sound output is made.
// Kovessa.scr needs SDL for its music only; linked in, SDL and the fifty libraries it brings
// would be loaded at every start, before the show can start its renderer, and by a show with
// no music at all.
struct SdlAudioLibrary {
    decltype(&SDL_SetHint) setHint;
    decltype(&SDL_InitSubSystem) initSubSystem;
    decltype(&SDL_QuitSubSystem) quitSubSystem;
    decltype(&SDL_GetNumAudioDevices) getNumAudioDevices;
    decltype(&SDL_OpenAudioDevice) openAudioDevice;
    decltype(&SDL_CloseAudioDevice) closeAudioDevice;
    decltype(&SDL_PauseAudioDevice) pauseAudioDevice;
    decltype(&SDL_LockAudioDevice) lockAudioDevice;
    decltype(&SDL_UnlockAudioDevice) unlockAudioDevice;
    decltype(&SDL_NewAudioStream) newAudioStream;
    decltype(&SDL_FreeAudioStream) freeAudioStream;
    decltype(&SDL_AudioStreamPut) audioStreamPut;
    decltype(&SDL_AudioStreamGet) audioStreamGet;
    decltype(&SDL_AudioStreamAvailable) audioStreamAvailable;
    decltype(&SDL_AudioStreamClear) audioStreamClear;
};

// The functions, opened once for the process; nullptr when the library or one of them cannot
// be found, which leaves the show silent as a machine without a sound device does.
const SdlAudioLibrary* OpenSdlAudioLibrary();

} // namespace kovessa
