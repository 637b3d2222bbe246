#include "launcher/profile_edit.h"

#include "launcher/profile_document.h"

#include <optional>

namespace kovessa {

namespace {

// What a C caller passes is what stands before the first NUL.
std::string CString(const std::string& s) {
    return s.substr(0, s.find('\0'));
}

} // namespace

bool FitProfileBytesToCap(std::string& bytes, ProfileSizeRule rule) {
    if (bytes.size() <= kProfileFileCap) {
        return true;
    }
    if (rule == ProfileSizeRule::WholeOrNothing) {
        return false;
    }
    // The line the cap cuts through is dropped, so that no value arrives cut short.
    bytes.resize(kProfileFileCap);
    const std::size_t lastLineEnd = bytes.find_last_of("\r\n");
    bytes.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
    return true;
}

std::string ProfileValueOf(const ProfileFileText& file, const std::string& section,
                           const std::string& key, const std::string& defaultValue,
                           std::size_t bufferSize) {
    if (bufferSize == 0) {
        return {};
    }
    std::optional<std::string> value;
    if (file.status == ProfileReadStatus::Ok) {
        value = ProfileDocument(file.bytes).Get(CString(section), CString(key));
    }
    std::string result = CString(value.value_or(defaultValue));
    if (result.size() > bufferSize - 1) {
        result.resize(bufferSize - 1);
    }
    return result;
}

ProfileEdit EditProfileText(const ProfileFileText& file, const std::string& section,
                            const std::vector<ProfileEntry>& entries, const std::string& path) {
    ProfileEdit edit;
    if (file.status == ProfileReadStatus::Failed) {
        // Replacing a file that could not be read would lose its other contents.
        edit.error = "cannot read " + path + " (not a plain file, too large, or closed to us)";
        return edit;
    }
    ProfileDocument document(file.bytes);
    for (const ProfileEntry& entry : entries) {
        switch (document.Set(CString(section), CString(entry.key), CString(entry.value))) {
        case ProfileDocument::SetResult::Unchanged:
            break;
        case ProfileDocument::SetResult::Refused:
            edit.error = "a name or value cannot be stored as one line";
            return edit;
        case ProfileDocument::SetResult::Changed:
            edit.changed = true;
            break;
        }
    }
    edit.ok = true;
    if (edit.changed) {
        edit.text = document.Text();
    }
    return edit;
}

} // namespace kovessa
