#include "launcher/user_file_save.h"

#include "launcher/program_paths.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kovessa {

namespace {

// The kernel's own limit on links followed in one path.
constexpr int kMaxLinks = 40;
// An older version's temporary file younger than this may still belong to a save in progress
// (that version took no lock); one of its saves takes milliseconds.
constexpr time_t kOldStyleGraceSeconds = 60;

bool Fail(std::string* error, const std::string& what, int code) {
    if (error != nullptr) {
        *error = what + ": " + std::strerror(code);
    }
    return false;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOrDot(const std::string& path) {
    const std::string folder = FolderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

// The file a chain of links at `path` ends at; the path itself when it is no link or does not
// exist yet. Empty (with errno set) for a loop of links or an unreadable one.
std::string FollowLinks(std::string path) {
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st = {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return path;
        }
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) {
            errno = n < 0 ? errno : ENAMETOOLONG;
            return {};
        }
        const std::string next(target.data(), static_cast<std::size_t>(n));
        path = !next.empty() && next.front() == '/' ? next : JoinPath(FolderOrDot(path), next);
    }
    errno = ELOOP;
    return {};
}

bool WriteAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

std::string RandomSuffix() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char raw[6] = {};
    if (::getrandom(raw, sizeof raw, 0) != static_cast<ssize_t>(sizeof raw)) {
        // Any value does: a taken name is simply tried again.
        const auto t =
            static_cast<unsigned long>(::time(nullptr)) ^ static_cast<unsigned>(getpid());
        for (std::size_t i = 0; i < sizeof raw; ++i) {
            raw[i] = static_cast<unsigned char>(t >> (i * 5));
        }
    }
    std::string s;
    for (unsigned char c : raw) {
        s += kLetters[c % (sizeof kLetters - 1)];
    }
    return s;
}

bool IsOldStyleTemporary(const std::string& entry, const std::string& name) {
    // mkstemp's "<name>.XXXXXX": six letters or digits.
    if (entry.size() != name.size() + 7 || entry.compare(0, name.size() + 1, name + ".") != 0) {
        return false;
    }
    for (std::size_t i = name.size() + 1; i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

// Removes what killed saves of `name` left in the folder: only regular files of this user, and
// an older version's only once they are too old to belong to a save still running.
void RemoveLeftovers(int folderFd, const std::string& name) {
    const int listFd = ::dup(folderFd);
    if (listFd < 0) {
        return;
    }
    DIR* dir = ::fdopendir(listFd);
    if (dir == nullptr) {
        ::close(listFd);
        return;
    }
    const std::string prefix = SaveTemporaryPrefix(name);
    std::vector<std::string> doomed;
    while (const dirent* e = ::readdir(dir)) {
        const std::string entry = e->d_name;
        const bool ours =
            entry.size() > prefix.size() && entry.compare(0, prefix.size(), prefix) == 0;
        const bool old = IsOldStyleTemporary(entry, name);
        if (!ours && !old) {
            continue;
        }
        struct stat st = {};
        if (::fstatat(folderFd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
            continue;
        }
        if (old && ::time(nullptr) - st.st_mtime < kOldStyleGraceSeconds) {
            continue;
        }
        doomed.push_back(entry);
    }
    ::closedir(dir);
    for (const std::string& entry : doomed) {
        ::unlinkat(folderFd, entry.c_str(), 0);
    }
}

// Gives the unnamed file `fd` a fresh temporary name in the folder.
bool NameUnnamedFile(int fd, int folderFd, const std::string& prefix, std::string& name) {
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + RandomSuffix();
        if (::linkat(AT_FDCWD, procPath.c_str(), folderFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// A new named temporary file, created exclusively with mode 0600.
int CreateNamedFile(int folderFd, const std::string& prefix, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + RandomSuffix();
        const int fd =
            ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

bool WriteInPlace(const std::string& target, std::string_view bytes, std::string* error) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return Fail(error, "cannot write " + target, errno);
    }
    // Reserving the length first makes a full disk fail before any byte changes; a file system
    // that cannot reserve simply goes on.
    if (!bytes.empty() && ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size())) == ENOSPC) {
        ::close(fd);
        return Fail(error, "cannot write " + target, ENOSPC);
    }
    const bool ok = WriteAll(fd, bytes, 0) &&
                    ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
    const int code = errno;
    ::close(fd);
    return ok ? true : Fail(error, "cannot write " + target, code);
}

class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            ::close(fd_); // closing releases the lock
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    int Fd() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::string SaveTemporaryPrefix(const std::string& fileName) {
    return "." + fileName + ".saving-";
}

bool SaveUserFile(const std::string& path, std::string_view bytes, std::string* error) {
    if (path.empty()) {
        return Fail(error, "no file name", ENOENT);
    }
    const std::string target = FollowLinks(path);
    if (target.empty()) {
        return Fail(error, "cannot follow the link " + path, errno);
    }
    const std::string folder = FolderOrDot(target);
    const std::string name = BaseName(target);

    mode_t mode = 0644;
    bool exists = false;
    struct stat st = {};
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            return Fail(error, target + " is not a plain file", EINVAL);
        }
        exists = true;
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return Fail(error, "cannot reach " + target, errno);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }

    FolderLock lock(folder);
    if (lock.Fd() < 0) {
        return Fail(error, "cannot open the folder " + folder, errno);
    }
    RemoveLeftovers(lock.Fd(), name);

    const std::string prefix = SaveTemporaryPrefix(name);
    std::string tmpName;
    bool named = false;
    int fd = ::openat(lock.Fd(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        fd = CreateNamedFile(lock.Fd(), prefix, tmpName);
        named = fd >= 0;
    }
    if (fd < 0) {
        const int code = errno;
        if (exists && (code == EACCES || code == EPERM) && ::access(target.c_str(), W_OK) == 0) {
            return WriteInPlace(target, bytes, error);
        }
        return Fail(error, "cannot create a new file in " + folder, code);
    }

    auto fill = [&](int out) {
        return WriteAll(out, bytes, 0) && ::fchmod(out, mode) == 0 && ::fsync(out) == 0;
    };
    bool ok = fill(fd);
    int code = errno;
    if (ok && !named) {
        ok = NameUnnamedFile(fd, lock.Fd(), prefix, tmpName);
        named = ok;
        code = errno;
        if (!ok && code == ENOENT) {
            // Naming an unnamed file goes through /proc, which a sandbox may lack: write a
            // named one instead.
            ::close(fd);
            fd = CreateNamedFile(lock.Fd(), prefix, tmpName);
            named = fd >= 0;
            ok = named && fill(fd);
            code = errno;
            if (fd < 0) {
                return Fail(error, "cannot create a new file in " + folder, code);
            }
        }
    }
    ::close(fd);
    if (ok && ::renameat(lock.Fd(), tmpName.c_str(), lock.Fd(), name.c_str()) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        if (named) {
            ::unlinkat(lock.Fd(), tmpName.c_str(), 0);
        }
        return Fail(error, "cannot save " + target, code);
    }
    ::fsync(lock.Fd());
    return true;
}

} // namespace kovessa
