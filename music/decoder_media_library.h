#pragma once

#include "music/media_library.h"

#include <string>

namespace kovessa {

// The real decoders: MP3 through libmpg123, WAV through libsndfile, the disc through libcdio.
class DecoderMediaLibrary final : public MediaLibrary {
public:
    // `cdSource` empty: the default drive; otherwise a drive device or a .cue image (tests and
    // the demo player use images).
    explicit DecoderMediaLibrary(std::string cdSource = {}) : cdSource_(std::move(cdSource)) {}

    std::unique_ptr<CdDisc> OpenDisc() override;
    MediaOpenResult OpenFile(const std::string& path, MediaKind kind) override;

private:
    std::string cdSource_;
};

} // namespace kovessa
