#include "launcher/atomic_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kovessa {

namespace {

bool Fail(std::string* error, const std::string& what) {
    if (error != nullptr) {
        *error = what + ": " + std::strerror(errno);
    }
    return false;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    // mkstemp creates the temporary name exclusively with mode 0600, so nothing planted in the
    // folder can be written through; rename() then replaces a link at `path` rather than its
    // target.
    std::vector<char> tmp(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    tmp.insert(tmp.end(), suffix, suffix + sizeof suffix);
    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        return Fail(error, "cannot create a temporary file beside " + path);
    }

    // Keep the permissions an existing file had; a new file gets the usual 0644 less umask.
    struct stat st = {};
    mode_t mode = 0644;
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode &= ~mask;
    }

    const bool ok = WriteAll(fd, bytes) && fchmod(fd, mode) == 0;
    const int savedErrno = errno;
    if (::close(fd) != 0 || !ok) {
        errno = ok ? errno : savedErrno;
        Fail(error, "cannot write " + std::string(tmp.data()));
        ::unlink(tmp.data());
        return false;
    }
    if (::rename(tmp.data(), path.c_str()) != 0) {
        Fail(error, "cannot replace " + path);
        ::unlink(tmp.data());
        return false;
    }
    return true;
}

} // namespace kovessa
