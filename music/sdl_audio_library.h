#pragma once

#include <SDL.h>

namespace kovessa {

// SDL's audio functions, from the SDL library opened when the first sound output is made.
// Kovessa.scr needs SDL for its music only; linked in, SDL and the fifty libraries it brings
// would be loaded at every start, before the show can start its renderer, and by a show with
// no music at all.
struct SdlAudioLibrary {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_GetNumAudioDevices) GetNumAudioDevices;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_LockAudioDevice) LockAudioDevice;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
    decltype(&SDL_NewAudioStream) NewAudioStream;
    decltype(&SDL_FreeAudioStream) FreeAudioStream;
    decltype(&SDL_AudioStreamPut) AudioStreamPut;
    decltype(&SDL_AudioStreamGet) AudioStreamGet;
    decltype(&SDL_AudioStreamAvailable) AudioStreamAvailable;
    decltype(&SDL_AudioStreamClear) AudioStreamClear;
};

// The functions, opened once for the process; nullptr when the library or one of them cannot
// be found, which leaves the show silent as a machine without a sound device does.
const SdlAudioLibrary* OpenSdlAudioLibrary();

} // namespace kovessa
