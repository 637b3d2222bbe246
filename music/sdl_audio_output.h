#pragma once

#include "music/audio_output.h"

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace kovessa {

struct SdlAudioLibrary;

// The desktop's sound device through SDL2 audio. One device is opened at 44.1 kHz stereo when
// the first stream is added; SDL's own audio thread pulls every stream, converts it to the
// device's rate and channels, and mixes them.
class SdlAudioOutput final : public AudioOutput {
public:
    SdlAudioOutput();
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    int DeviceCount() override;
    bool AddStream(OutputStream* stream) override;
    void RemoveStream(OutputStream* stream) override;

    // Frames the device asks for at each callback (its buffer), once it is open; 0 before.
    int BufferFrames() const { return device_ != 0 ? spec_.samples : 0; }
    int DeviceRate() const { return device_ != 0 ? spec_.freq : 0; }

private:
    struct Entry {
        OutputStream* stream = nullptr;
        SDL_AudioStream* convert = nullptr;
        uint64_t epoch = 0; // the stream's epoch when `convert` was last fed
        int repeat = 1;     // each frame is handed to `convert` this many times
    };

    static void SDLCALL Callback(void* self, Uint8* out, int bytes);
    void Mix(Uint8* out, int bytes);
    bool OpenDevice();

    const SdlAudioLibrary* sdl_; // nullptr: no SDL, no sound
    bool initialized_ = false;
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    std::vector<Entry> entries_; // changed only while the device is locked
    std::vector<int16_t> pulled_;
    std::vector<int16_t> repeated_;
    std::vector<int16_t> converted_;
    std::vector<int32_t> sum_;
};

} // namespace kovessa
