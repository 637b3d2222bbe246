#pragma once

#include <cstdint>
#include <string>

namespace kovessa {

// The values of BGMKind that choose a source. Every other value, 0 included, plays nothing.
inline constexpr int16_t kBgmKindNone = 0;
inline constexpr int16_t kBgmKindCD = 1;
inline constexpr int16_t kBgmKindFile = 2;

// The three music settings of the screensaver program. The settings file fills them at start,
// the settings dialog edits and writes them, the show plays what they say.
struct MusicSettings {
    int16_t BGMKind = 0;   // 0 none, 1 audio CD, 2 MP3 or WAV file; any other value acts as 0
    int16_t BGMRepeat = 0; // CD track to play over and over, 0 = the whole disc
    std::string BGMFile;   // full path of the music file, possibly empty
};

} // namespace kovessa
