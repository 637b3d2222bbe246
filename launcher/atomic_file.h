#pragma once

#include <string>
#include <string_view>

namespace kovessa {

// Whether the new bytes must be on the disk before the file is replaced. A kept file must come
// through a power cut whole; a file made again at every start need not wait for the disk.
enum class WriteDurability { KeptFile, RemadeEachStart };

// Replaces the file at `path` with `bytes` so that a reader sees either the old file or the
// complete new one, never a part: the bytes go to a fresh temporary file in the same folder
// (flushed to disk for a kept file), and the temporary file is renamed over the target. A
// symbolic link at `path` is replaced, not followed. Returns false (with a reason in `error`
// when given) and leaves the old file untouched on any failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr,
                         WriteDurability durability = WriteDurability::KeptFile);

} // namespace kovessa
