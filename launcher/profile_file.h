#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kovessa {

// File access for initialisation files, with the guarantees the settings file needs: reading
// never creates anything, and writing either replaces the whole file with the edited text or
// leaves it exactly as it was.

// The most of a file that is read: a settings file holds three short lines.
inline constexpr std::size_t kProfileFileCap = 16 * 1024 * 1024;

// The value of key in section of the file at `path`, or `defaultValue` when the file, section
// or key is missing or the file cannot be read. At most bufferSize - 1 bytes arrive, and a
// value stops at a NUL byte, as a C buffer of that size would hold it. Of a file larger than
// kProfileFileCap, the whole lines within the cap are read.
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t bufferSize,
                             const std::string& path);

// Whether the plain file at `path` is larger than kProfileFileCap, so that reading it sees only
// its first part and writing it is refused.
bool IsProfileFileOverCap(const std::string& path);

struct ProfileEntry {
    std::string key;
    std::string value;
};

// Sets key=value for each entry in `section` of the file at `path`, in ONE replacement of the
// file, so that a kill or a failure at any moment leaves either all of them or none. The file
// and the section are created as needed; writing the values the keys already have leaves the
// file untouched. The file is saved as SaveUserFile does (through links, in place when only the
// file is writable; on Windows a link is replaced rather than followed). Returns false, with
// the file unchanged and the reason in `error` when given, when the folder is missing, when
// neither the folder nor an existing file may be written, when an existing file cannot be read
// (replacing it would lose its other contents), when it is too large to be a settings file, or
// when a name or value cannot be stored as one line.
bool WriteProfileStrings(const std::string& section, const std::vector<ProfileEntry>& entries,
                         const std::string& path, std::string* error = nullptr);

} // namespace kovessa
