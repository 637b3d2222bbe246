#pragma once

#include <string>
#include <string_view>

namespace kovessa {

// Replaces the file at `path` with `bytes` so that a reader sees either the old file or the
// complete new one, never a part: the bytes go to a fresh temporary file in the same folder,
// which is renamed over the target. A symbolic link at `path` is replaced, not followed.
// Returns false (with a reason in `error` when given) and leaves the old file untouched on any
// failure. The bytes are not waited for on the disk: this is for files made again at every
// start (the hand-off bitmaps); a file the user keeps is saved with SaveUserFile.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

} // namespace kovessa
