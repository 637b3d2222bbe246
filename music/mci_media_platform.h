#pragma once

#include "music/audio_output.h"
#include "music/mci_interpreter.h"
#include "music/media_library.h"
#include "music/media_platform.h"
#include "music/stream_player.h"

#include <memory>

namespace kovessa {

// The media calls of the music module served by our own interpreter and a sound-file player
// over one audio output.
class MciMediaPlatform final : public MediaPlatform {
public:
    MciMediaPlatform(MediaLibrary& library, AudioOutput& output);
    ~MciMediaPlatform() override;

    int32_t SendString(const char* command, char* answer, uint32_t answerSize) override;
    bool GetErrorString(int32_t code, char* text, uint32_t size) override;
    int32_t WaveOutGetNumDevs() override;
    int32_t PlaySound(const char* name, uint32_t flags) override;

private:
    MediaLibrary& library_;
    AudioOutput& output_;
    MciInterpreter interpreter_;
    std::unique_ptr<StreamPlayer> sound_; // what PlaySound started
};

} // namespace kovessa
