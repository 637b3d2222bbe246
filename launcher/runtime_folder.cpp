#include "launcher/runtime_folder.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {

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

std::string UserRuntimeFolder() {
    return "/run/user/" + std::to_string(getuid());
}

} // namespace kovessa
