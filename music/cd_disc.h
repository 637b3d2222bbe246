#pragma once

#include "music/pcm_source.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kovessa {

inline constexpr int kCdFramesPerSector = 588; // 2352 bytes of 16-bit stereo
inline constexpr int kCdSectorsPerSecond = 75;
inline constexpr int kCdSampleRate = 44100;

struct CdTrack {
    int number = 0;
    int32_t startSector = 0; // logical sector number of the track's first sector
    bool audio = true;
};

// The table of contents of a disc: its tracks in order and the sector where the last one ends.
struct CdToc {
    std::vector<CdTrack> tracks;
    int32_t leadOutSector = 0;

    // End sector (exclusive) of the track at `index`.
    int32_t TrackEnd(size_t index) const {
        return index + 1 < tracks.size() ? tracks[index + 1].startSector : leadOutSector;
    }
};

// An audio disc in a drive (or an image read like one).
class CdDisc {
public:
    virtual ~CdDisc() = default;
    virtual const CdToc& Toc() const = 0;
    // The whole disc as PCM at 44.1 kHz stereo; frame f lies in sector f / 588.
    virtual std::unique_ptr<PcmSource> OpenAudio() = 0;
};

} // namespace kovessa
