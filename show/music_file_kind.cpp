#include "show/music_file_kind.h"

namespace kovessa {

MusicFileKind MusicFileKindOf(const std::string& path) {
    // Only ASCII letters are upper-cased: the bytes of a multi-byte file name never match the
    // two extensions anyway, whatever a locale would make of them.
    std::string last = path.size() > 3 ? path.substr(path.size() - 3) : path;
    for (char& c : last) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (last == "WAV") {
        return MusicFileKind::Wave;
    }
    if (last == "MP3") {
        return MusicFileKind::Mp3;
    }
    return MusicFileKind::None;
}

} // namespace kovessa
