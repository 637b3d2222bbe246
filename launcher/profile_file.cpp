#include "launcher/profile_file.h"

#include "common/file_open.h"
#include "launcher/profile_edit.h"
#include "launcher/user_file_save.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {

namespace {

// Reads what the cap allows of the file at `path`: never more than kProfileReadLimit bytes.
ProfileFileText ReadFile(const std::string& path, ProfileSizeRule rule) {
    const int fd = OpenForReading(path);
    if (fd < 0) {
        return {errno == ENOENT ? ProfileReadStatus::Missing : ProfileReadStatus::Failed, {}};
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {ProfileReadStatus::Failed, {}};
    }
    std::string bytes;
    char buffer[8192];
    while (bytes.size() < kProfileReadLimit) {
        const std::size_t want = std::min(sizeof buffer, kProfileReadLimit - bytes.size());
        const ssize_t n = ::read(fd, buffer, want);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return {ProfileReadStatus::Failed, {}};
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!FitProfileBytesToCap(bytes, rule)) {
        return {ProfileReadStatus::Failed, {}};
    }
    return {ProfileReadStatus::Ok, std::move(bytes)};
}

} // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t bufferSize,
                             const std::string& path) {
    return ProfileValueOf(ReadFile(path, ProfileSizeRule::HeadWithinCap), section, key,
                          defaultValue, bufferSize);
}

bool IsProfileFileOverCap(const std::string& path) {
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           st.st_size > off_t(kProfileFileCap);
}

bool WriteProfileStrings(const std::string& section, const std::vector<ProfileEntry>& entries,
                         const std::string& path, std::string* error) {
    const ProfileEdit edit =
        EditProfileText(ReadFile(path, ProfileSizeRule::WholeOrNothing), section, entries, path);
    if (!edit.ok) {
        if (error != nullptr) {
            *error = edit.error;
        }
        return false;
    }
    return !edit.changed || SaveUserFile(path, edit.text, error);
}

} // namespace kovessa
