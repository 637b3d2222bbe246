#include "launcher/file_exists.h"

#include "common/file_open.h"

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
    // A named pipe or a terminal does not hold the caller up; such a thing is not a music or
    // program file anyway and is refused below.
    const int fd = OpenForReading(name);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

} // namespace kovessa
