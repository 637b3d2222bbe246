#include "launcher/file_exists.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {

bool FileExists(const std::string& path) {
    std::string name = path;
    if (!name.empty() && (name.back() == '\\' || name.back() == '/')) {
        name.pop_back();
    }
    if (name.empty()) {
        return false;
    }
    // O_NONBLOCK keeps a named pipe or a terminal from holding the caller up; such a thing is
    // not a music or program file anyway and is refused below.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st = {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

} // namespace kovessa
