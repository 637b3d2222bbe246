#include "common/handoff_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {

namespace {

std::optional<std::string> Refuse(std::string* error, std::string why) {
    if (error != nullptr) {
        *error = std::move(why);
    }
    return std::nullopt;
}

// The fallback lives in the world-writable /tmp, so another user could have created the name
// first: accept it only as a real folder owned by us that nobody else can enter.
std::optional<std::string> PrivateTmpFolder(std::string* error) {
    const uid_t uid = getuid();
    const std::string path = "/tmp/kovessa-" + std::to_string(uid);
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return Refuse(error, "cannot create " + path + ": " + std::strerror(errno));
    }
    struct stat st = {};
    if (lstat(path.c_str(), &st) != 0) {
        return Refuse(error, "cannot inspect " + path + ": " + std::strerror(errno));
    }
    if (!S_ISDIR(st.st_mode)) {
        return Refuse(error, path + " is not a folder");
    }
    if (st.st_uid != uid) {
        return Refuse(error, path + " belongs to another user");
    }
    if ((st.st_mode & 077) != 0) {
        return Refuse(error, path + " is open to other users");
    }
    return path;
}

} // namespace

std::optional<std::string> HandoffFolder(std::string* error) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') {
        std::string folder = runtime;
        while (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
        struct stat st = {};
        if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            return Refuse(error, "XDG_RUNTIME_DIR " + folder + " is not a folder");
        }
        return folder;
    }
    return PrivateTmpFolder(error);
}

std::optional<std::string> OneShotHandoffFolder(std::string* error) {
    std::string pattern = "/tmp/kovessa-" + std::to_string(getuid()) + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        return Refuse(error, std::string("cannot create a private folder in /tmp: ") +
                                 std::strerror(errno));
    }
    return pattern;
}

void RemoveOneShotHandoffFolder(const std::string& folder) {
    unlink((folder + "/" + kGlowBitmapName).c_str());
    unlink((folder + "/" + kBackgroundBitmapName).c_str());
    rmdir(folder.c_str());
}

std::optional<std::string> HandoffPath(const char* name) {
    const std::optional<std::string> folder = HandoffFolder();
    if (!folder) {
        return std::nullopt;
    }
    return *folder + "/" + name;
}

} // namespace kovessa
