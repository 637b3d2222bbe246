#include "music/default_media_platform.h"

#include "music/decoder_media_library.h"
#include "music/mci_media_platform.h"
#include "music/sdl_audio_output.h"

namespace kovessa {

namespace {

// Owns the output and the decoders for as long as the interpreter that uses them. Members are
// destroyed in reverse order, so every stream leaves the output before the output closes.
class DesktopMediaPlatform final : public MediaPlatform {
public:
    explicit DesktopMediaPlatform(const std::string& cdSource)
        : library_(cdSource), platform_(library_, output_) {}

    int32_t SendString(const char* command, char* answer, uint32_t answerSize) override {
        return platform_.SendString(command, answer, answerSize);
    }
    bool GetErrorString(int32_t code, char* text, uint32_t size) override {
        return platform_.GetErrorString(code, text, size);
    }
    int32_t WaveOutGetNumDevs() override { return platform_.WaveOutGetNumDevs(); }
    int32_t PlaySound(const char* name, uint32_t flags) override {
        return platform_.PlaySound(name, flags);
    }

private:
    SdlAudioOutput output_;
    DecoderMediaLibrary library_;
    MciMediaPlatform platform_;
};

} // namespace

std::unique_ptr<MediaPlatform> CreateDefaultMediaPlatform() {
    return CreateMediaPlatform({});
}

std::unique_ptr<MediaPlatform> CreateMediaPlatform(const std::string& cdSource) {
    return std::make_unique<DesktopMediaPlatform>(cdSource);
}

} // namespace kovessa
