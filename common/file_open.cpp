#include "common/file_open.h"

#include <fcntl.h>

namespace kovessa {

int OpenForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

} // namespace kovessa
