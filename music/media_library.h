#pragma once

#include "music/cd_disc.h"
#include "music/pcm_source.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kovessa {

enum class MediaKind { Mpeg, Wave };

struct MediaOpenResult {
    int32_t error = 0; // 0, or the interpreter's code: file not found, not playable
    std::unique_ptr<PcmSource> source;
};

// Where the interpreter gets its sound from: the decoders and the disc drive. A fake stands in
// for it where a test or the fuzzer must not touch files or drives.
class MediaLibrary {
public:
    virtual ~MediaLibrary() = default;
    // The disc in the drive, or null when there is no drive or no readable audio disc.
    virtual std::unique_ptr<CdDisc> OpenDisc() = 0;
    virtual MediaOpenResult OpenFile(const std::string& path, MediaKind kind) = 0;
};

} // namespace kovessa
