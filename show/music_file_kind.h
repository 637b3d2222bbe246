#pragma once

#include <string>

namespace kovessa {

// Which player a music file goes to. The show decides by the last three characters of the
// path, upper-cased, and looks for no dot: "song.Mp3" and "xmp3" are MP3, "a.wav" is WAV, and
// "a.mid", "a.wma" or a path without extension play nothing.
enum class MusicFileKind { None, Wave, Mp3 };

MusicFileKind MusicFileKindOf(const std::string& path);

} // namespace kovessa
