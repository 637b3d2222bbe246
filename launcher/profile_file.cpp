#include "launcher/profile_file.h"

#include "common/file_open.h"
#include "launcher/profile_document.h"
#include "launcher/user_file_save.h"

#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {

namespace {

// A settings file holds three short lines; anything this large is not one, and reading it
// whole would only cost memory.
constexpr off_t kMaxFileSize = off_t(kProfileFileCap);

enum class ReadStatus { Ok, Missing, Failed };

// How much of a file beyond the cap a read may take: writing refuses the file, while reading
// takes what lies within the cap.
enum class SizeRule { WholeOrNothing, HeadWithinCap };

struct FileText {
    ReadStatus status;
    std::string bytes;
};

FileText ReadFile(const std::string& path, SizeRule rule) {
    const int fd = OpenForReading(path);
    if (fd < 0) {
        return {errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed, {}};
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        (rule == SizeRule::WholeOrNothing && st.st_size > kMaxFileSize)) {
        ::close(fd);
        return {ReadStatus::Failed, {}};
    }
    std::string bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return {ReadStatus::Failed, {}};
        }
        if (n == 0) {
            break;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > std::size_t(kMaxFileSize)) {
            if (rule == SizeRule::WholeOrNothing) {
                ::close(fd);
                return {ReadStatus::Failed, {}};
            }
            // The line the cap cuts through is dropped, so that no value arrives cut short.
            bytes.append(buffer, std::size_t(kMaxFileSize) - bytes.size());
            const std::size_t lastLineEnd = bytes.find_last_of("\r\n");
            bytes.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return {ReadStatus::Ok, std::move(bytes)};
}

// What a C caller passes is what stands before the first NUL.
std::string CString(const std::string& s) {
    return s.substr(0, s.find('\0'));
}

} // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t bufferSize,
                             const std::string& path) {
    if (bufferSize == 0) {
        return {};
    }
    std::optional<std::string> value;
    const FileText file = ReadFile(path, SizeRule::HeadWithinCap);
    if (file.status == ReadStatus::Ok) {
        value = ProfileDocument(file.bytes).Get(CString(section), CString(key));
    }
    std::string result = CString(value.value_or(defaultValue));
    if (result.size() > bufferSize - 1) {
        result.resize(bufferSize - 1);
    }
    return result;
}

bool IsProfileFileOverCap(const std::string& path) {
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kMaxFileSize;
}

bool WriteProfileStrings(const std::string& section, const std::vector<ProfileEntry>& entries,
                         const std::string& path, std::string* error) {
    const FileText file = ReadFile(path, SizeRule::WholeOrNothing);
    if (file.status == ReadStatus::Failed) {
        if (error != nullptr) {
            *error = "cannot read " + path + " (not a plain file, too large, or closed to us)";
        }
        return false;
    }
    ProfileDocument document(file.bytes);
    bool changed = false;
    for (const ProfileEntry& entry : entries) {
        switch (document.Set(CString(section), CString(entry.key), CString(entry.value))) {
        case ProfileDocument::SetResult::Unchanged:
            break;
        case ProfileDocument::SetResult::Refused:
            if (error != nullptr) {
                *error = "a name or value cannot be stored as one line";
            }
            return false;
        case ProfileDocument::SetResult::Changed:
            changed = true;
            break;
        }
    }
    return !changed || SaveUserFile(path, document.Text(), error);
}

} // namespace kovessa
