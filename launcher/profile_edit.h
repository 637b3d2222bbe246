#pragma once

#include "launcher/profile_file.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kovessa {

// What the profile file calls decide from a file's bytes, whichever system read them: so that
// the settings file reads, caps and saves the same on every system, and each system only reads
// and replaces files its own way.

enum class ProfileReadStatus { Ok, Missing, Failed };

struct ProfileFileText {
    ProfileReadStatus status = ProfileReadStatus::Missing;
    std::string bytes;
};

// How much of a file beyond kProfileFileCap a read may take: writing refuses the file, while
// reading takes what lies within the cap.
enum class ProfileSizeRule { WholeOrNothing, HeadWithinCap };

// The most bytes a reader needs from a file: one beyond the cap tells that the file passes it.
inline constexpr std::size_t kProfileReadLimit = kProfileFileCap + 1;

// Applies `rule` to the first bytes of a file (up to kProfileReadLimit of them). Returns false
// when the rule refuses the file; otherwise `bytes` is what the file reads as.
bool FitProfileBytesToCap(std::string& bytes, ProfileSizeRule rule);

// What GetProfileString returns for the file read as `file`.
std::string ProfileValueOf(const ProfileFileText& file, const std::string& section,
                           const std::string& key, const std::string& defaultValue,
                           std::size_t bufferSize);

struct ProfileEdit {
    bool ok = false;      // false: nothing may be written; `error` says why
    bool changed = false; // whether `text` differs from the file's bytes
    std::string text;     // the whole new file
    std::string error;
};

// The edit WriteProfileStrings makes to the file read as `file` (a file read as
// WholeOrNothing), named `path` in the error.
ProfileEdit EditProfileText(const ProfileFileText& file, const std::string& section,
                            const std::vector<ProfileEntry>& entries, const std::string& path);

} // namespace kovessa
