#include "launcher/runtime_folder.h"

#include <cstdlib>
#include <ftw.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {

namespace {

// The folder UsePrivateRuntimeFolder made; empty when none.
std::string& PrivateFolder() {
    static std::string folder;
    return folder;
}

int RemoveEntry(const char* path, const struct stat*, int, FTW*) {
    ::remove(path);
    return 0;
}

} // namespace

bool FillMissingRuntimeFolder(const std::string& userRuntimeFolder) {
    const char* current = std::getenv("XDG_RUNTIME_DIR");
    if (current != nullptr && current[0] != '\0') {
        return false;
    }
    struct stat st = {};
    if (lstat(userRuntimeFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    if (st.st_uid != getuid() || (st.st_mode & 0777) != 0700) {
        return false;
    }
    return setenv("XDG_RUNTIME_DIR", userRuntimeFolder.c_str(), 1) == 0;
}

bool UsePrivateRuntimeFolder() {
    const char* current = std::getenv("XDG_RUNTIME_DIR");
    if ((current != nullptr && current[0] != '\0') || !PrivateFolder().empty()) {
        return false;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
    pattern += "/kovessa-runtime-XXXXXX";
    // mkdtemp makes the folder private to this user (mode 0700), as a runtime folder must be.
    if (mkdtemp(pattern.data()) == nullptr) {
        return false;
    }
    if (setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1) != 0) {
        rmdir(pattern.c_str());
        return false;
    }
    PrivateFolder() = pattern;
    return true;
}

void RemovePrivateRuntimeFolder() {
    if (PrivateFolder().empty()) {
        return;
    }
    // Depth first and without following links: only what lies inside the folder goes.
    nftw(PrivateFolder().c_str(), &RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    PrivateFolder().clear();
}

std::string UserRuntimeFolder() {
    return "/run/user/" + std::to_string(getuid());
}

} // namespace kovessa
