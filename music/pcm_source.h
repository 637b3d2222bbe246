#pragma once

#include <cstddef>
#include <cstdint>

namespace kovessa {

// Interleaved signed 16-bit samples at a rate and channel count of the source's own.
struct PcmFormat {
    int rate = 44100;
    int channels = 2;
};

// A decoder: a file or a disc read as one run of PCM frames. Used by one thread at a time.
class PcmSource {
public:
    virtual ~PcmSource() = default;
    virtual PcmFormat Format() const = 0;
    // Reads up to `frames` frames into `out`; returns how many it read, 0 at the end of the data
    // or on a read failure.
    virtual size_t Read(int16_t* out, size_t frames) = 0;
    // Moves the read position to `frame` (0 = first). False when the source cannot go there.
    virtual bool Seek(int64_t frame) = 0;
    // Length in frames as far as the source knows it, or -1. MP3 files without an info header
    // only give an estimate.
    virtual int64_t Length() const = 0;
};

} // namespace kovessa
