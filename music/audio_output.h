#pragma once

#include "music/pcm_source.h"

#include <cstddef>
#include <cstdint>

namespace kovessa {

// What an audio output pulls sound from. `pull` runs on the output's own thread and must return
// at once: it hands over what is ready and never waits for a decoder.
class OutputStream {
public:
    virtual ~OutputStream() = default;
    virtual PcmFormat StreamFormat() const = 0;
    // Fills up to `frames` frames; returns how many it filled (0 when it has nothing now).
    virtual size_t Pull(int16_t* out, size_t frames) = 0;
    // Changes whenever the stream jumps (a new play or a stop), so that an output that keeps
    // converted sound of its own can drop what belongs to the old position.
    virtual uint64_t StreamEpoch() const { return 0; }
};

// The sound device. An SDL implementation plays through the desktop's sound; a recording one
// lets tests pull the mixed sound at their own pace.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Number of output devices, 0 when there is none or they cannot be counted.
    virtual int DeviceCount() = 0;
    // Starts pulling from `stream`. False when no device can be opened.
    virtual bool AddStream(OutputStream* stream) = 0;
    // Stops pulling from `stream`; when it returns, no pull of `stream` is running or will run.
    virtual void RemoveStream(OutputStream* stream) = 0;
};

} // namespace kovessa
