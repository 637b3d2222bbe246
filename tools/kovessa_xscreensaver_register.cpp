// kovessa-xscreensaver-register [--remove] [--] [FILE]
//
// Adds Kovessa to the list of screensavers in the user's XScreenSaver settings (~/.xscreensaver,
// or FILE), or with --remove takes it out again. XScreenSaver reads its list from that one file
// and has no folder where a package could drop an entry, so each user runs this once.
//
// The edit itself is tools/xscreensaver_list.cpp; this is the POSIX side: which file, as whom,
// and its replacement. The file is replaced atomically by a new file in the same folder, with
// the old file's owner and mode; a linked file is replaced at the link's target and the link
// stays. A file that does not exist yet is not made up here: XScreenSaver writes a complete one
// the first time its settings are changed in xscreensaver-settings.

#include "tools/xscreensaver_list.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace kovessa {
namespace {

// XScreenSaver's file is a few hundred lines; anything this large is not one.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;
// How often the edit starts over when another program changed the file meanwhile.
constexpr int kMaxTries = 50;
// How long a write into the replaced file may still arrive from a program that opened it just
// before the replacement.
constexpr long kSettleNanos = 20 * 1000 * 1000;

std::string me = "kovessa-xscreensaver-register";

void Usage(std::FILE* to) {
    std::fprintf(to, "usage: %s [--remove] [--] [FILE]   (FILE defaults to ~/.xscreensaver)\n",
                 me.c_str());
}

std::string Dirname(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Basename(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An open file with what was read from it, and its state when it was read.
struct Snapshot {
    int fd = -1;
    struct stat st = {};
    std::string bytes;
};

bool SameState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// Whether nothing was written to the file between the two states.
bool SameContents(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Reads the whole file from its start; false on a read error or a file too large to be one.
bool ReadAll(Snapshot& s) {
    if (::fstat(s.fd, &s.st) != 0 || !S_ISREG(s.st.st_mode) || s.st.st_size > kMaxFileSize) {
        return false;
    }
    s.bytes.clear();
    char buffer[8192];
    off_t at = 0;
    for (;;) {
        const ssize_t n = ::pread(s.fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 || s.bytes.size() + static_cast<std::size_t>(n) > std::size_t(kMaxFileSize)) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        s.bytes.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
}

// The file at `target` (a path without links at its end), opened without following a link
// that was put there meanwhile.
std::optional<Snapshot> ReadTarget(const std::string& target) {
    Snapshot s;
    s.fd = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (s.fd < 0) {
        return std::nullopt;
    }
    if (!ReadAll(s)) {
        ::close(s.fd);
        return std::nullopt;
    }
    return s;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Run as root on a file in a folder of another user, the work is done as that user: root must
// never write, through a link or otherwise, what that user could not, nor leave the user a file
// that root owns.
bool BecomeFolderOwner(const std::string& file) {
    if (::geteuid() != 0) {
        return true;
    }
    struct stat folder = {};
    if (::stat(Dirname(file).c_str(), &folder) != 0 || folder.st_uid == 0) {
        return true;
    }
    const passwd* user = ::getpwuid(folder.st_uid);
    const gid_t gid = user != nullptr ? user->pw_gid : folder.st_gid;
    const bool groups =
        user != nullptr ? ::initgroups(user->pw_name, gid) == 0 : ::setgroups(1, &gid) == 0;
    return groups && ::setresgid(gid, gid, gid) == 0 &&
           ::setresuid(folder.st_uid, folder.st_uid, folder.st_uid) == 0 &&
           ::geteuid() == folder.st_uid;
}

enum class Replaced { Yes, Failed, OwnerNotKept, KeptChanging };

// How a replacement went, and the new file, open, once it is in place.
struct Replacement {
    Replaced result = Replaced::Failed;
    int newFd = -1;
};

// Writes `text` as the file at `target`, with the owner and mode of `keep`, unless what stands
// there is no longer `guard` (the file open as `guardFd`); then `retry` is set and nothing is
// replaced.
Replacement ReplaceIfUnchanged(const std::string& target, const std::string& text,
                               const struct stat& keep, int guardFd, const struct stat& guard,
                               bool& retry) {
    retry = false;
    std::string temp = Dirname(target) + "/." + Basename(target) + ".kovessa-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "%s: cannot make a new file in %s.\n", me.c_str(),
                     Dirname(target).c_str());
        return {Replaced::Failed, -1};
    }
    const auto drop = [&](Replaced why) {
        ::unlink(temp.c_str());
        ::close(fd);
        return Replacement{why, -1};
    };
    // The owner is kept or nothing is replaced; a group this user is not in goes to its own.
    if (::fchown(fd, keep.st_uid, keep.st_gid) != 0 &&
        (::fchown(fd, keep.st_uid, static_cast<gid_t>(-1)) != 0 || keep.st_uid != ::geteuid())) {
        return drop(Replaced::OwnerNotKept);
    }
    if (::fchmod(fd, keep.st_mode & 07777) != 0 || !WriteAll(fd, text) || ::fsync(fd) != 0) {
        return drop(Replaced::Failed);
    }
    // The file is still the one that was read: another program that changed it meanwhile would
    // otherwise lose its change.
    struct stat atTarget = {};
    struct stat now = {};
    if (::lstat(target.c_str(), &atTarget) != 0 || ::fstat(guardFd, &now) != 0 ||
        atTarget.st_dev != guard.st_dev || atTarget.st_ino != guard.st_ino ||
        !SameState(now, guard)) {
        retry = true;
        return drop(Replaced::KeptChanging);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        return drop(Replaced::Failed);
    }
    return {Replaced::Yes, fd};
}

void SayOutcome(ListOutcome outcome, bool remove, const std::string& file) {
    switch (outcome) {
    case ListOutcome::Changed:
        if (remove) {
            std::printf("Removed Kovessa from the list of screensavers in %s.\n", file.c_str());
        } else {
            std::printf("Added Kovessa to the end of the list of screensavers in %s.\n",
                        file.c_str());
            std::printf("Choose \"Kovessa\" in xscreensaver-settings (mode \"Only One Screen "
                        "Saver\" to keep it).\n");
            std::printf("A running XScreenSaver notices the change by itself.\n");
        }
        break;
    case ListOutcome::AlreadyThere:
        std::printf("Kovessa is already in the list of %s; nothing changed.\n", file.c_str());
        break;
    case ListOutcome::SwitchedOff:
        std::printf("Kovessa is already in the list of %s but switched off; nothing changed.\n",
                    file.c_str());
        std::printf("Tick it in xscreensaver-settings to use it.\n");
        break;
    case ListOutcome::NotThere:
        std::printf("Kovessa is not in the list of %s; nothing changed.\n", file.c_str());
        break;
    case ListOutcome::NoList:
        std::printf("%s has no list of screensavers, so Kovessa is not in it; nothing changed.\n",
                    file.c_str());
        break;
    }
}

int Run(int argc, char** argv) {
    if (argc > 0) {
        me = Basename(argv[0]);
    }
    bool remove = false;
    bool options = true;
    std::optional<std::string> named;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--remove") {
            remove = true;
        } else if (options && (arg == "-h" || arg == "--help")) {
            Usage(stdout);
            return 0;
        } else if ((options && arg.size() > 1 && arg[0] == '-') || named || arg.empty()) {
            Usage(stderr);
            return 2;
        } else {
            named = arg;
        }
    }
    std::string file;
    if (named) {
        file = *named;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            std::fprintf(stderr, "%s: HOME is not set; name the settings file.\n", me.c_str());
            return 2;
        }
        file = std::string(home) + "/.xscreensaver";
    }
    if (!BecomeFolderOwner(file)) {
        std::fprintf(stderr, "%s: cannot act as the owner of %s.\n", me.c_str(),
                     Dirname(file).c_str());
        return 1;
    }

    char resolved[PATH_MAX];
    if (::realpath(file.c_str(), resolved) == nullptr) {
        if (errno == ELOOP) {
            std::fprintf(stderr, "%s: %s is a loop of symbolic links.\n", me.c_str(), file.c_str());
            return 1;
        }
        if (errno != ENOENT) {
            std::fprintf(stderr, "%s: %s is not a readable file.\n", me.c_str(), file.c_str());
            return 1;
        }
        if (remove) {
            std::printf("%s does not exist, so Kovessa is not in it; nothing to do.\n",
                        file.c_str());
            return 0;
        }
        std::fprintf(stderr, "%s does not exist yet.\n", file.c_str());
        std::fprintf(stderr, "Run xscreensaver-settings once and change any setting "
                             "(XScreenSaver then writes the\n");
        std::fprintf(stderr, "file with its full list of screensavers), then run %s again.\n",
                     me.c_str());
        return 1;
    }
    const std::string target = resolved;
    std::optional<Snapshot> base = ReadTarget(target);
    if (!base) {
        std::fprintf(stderr, "%s: %s is not a readable file.\n", me.c_str(), file.c_str());
        return 1;
    }

    // What must still stand at the target for a replacement to go ahead: first the file that
    // was read, after a replacement the new file.
    int guardFd = base->fd;
    struct stat guard = base->st;
    const struct stat keep = base->st;
    // Once a replacement is in place, the change has been made whatever a later pass finds.
    bool replaced = false;
    for (int attempt = 0; attempt < kMaxTries; ++attempt) {
        const ListEdit edit =
            remove ? RemoveKovessaEntry(base->bytes) : AddKovessaEntry(base->bytes);
        if (edit.outcome != ListOutcome::Changed || edit.text == base->bytes) {
            // Only a change that was made is reported as one.
            const ListOutcome said = replaced                               ? ListOutcome::Changed
                                     : edit.outcome != ListOutcome::Changed ? edit.outcome
                                     : remove                               ? ListOutcome::NotThere
                                              : ListOutcome::AlreadyThere;
            SayOutcome(said, remove, file);
            return 0;
        }
        bool retry = false;
        const Replacement done = ReplaceIfUnchanged(target, edit.text, keep, guardFd, guard, retry);
        if (retry) {
            // Read again what is there now, and edit that.
            base = ReadTarget(target);
            if (!base) {
                std::fprintf(stderr, "%s: cannot read %s.\n", me.c_str(), file.c_str());
                return 1;
            }
            guardFd = base->fd;
            guard = base->st;
            continue;
        }
        if (done.result == Replaced::OwnerNotKept) {
            std::fprintf(stderr, "%s: cannot keep the owner of %s; it is unchanged.\n", me.c_str(),
                         target.c_str());
            return 1;
        }
        if (done.result != Replaced::Yes) {
            std::fprintf(stderr, "%s: cannot replace %s; it is unchanged.\n", me.c_str(),
                         target.c_str());
            return 1;
        }
        replaced = true;
        // A program that wrote to the old file between the check and the rename wrote into the
        // file that is now replaced: its bytes are taken up into a new edit. One that opened
        // the old file just before the rename is given a moment to finish its write. (The old
        // file's change time moved with the rename, which unlinked it: size and time tell.)
        struct stat old = {};
        const timespec settle{0, kSettleNanos};
        ::nanosleep(&settle, nullptr);
        if (::fstat(base->fd, &old) != 0 || SameContents(old, base->st) || !ReadAll(*base)) {
            SayOutcome(ListOutcome::Changed, remove, file);
            return 0;
        }
        guardFd = done.newFd;
        if (::fstat(guardFd, &guard) != 0) {
            SayOutcome(ListOutcome::Changed, remove, file);
            return 0;
        }
    }
    std::fprintf(stderr, "%s: %s kept changing while it was edited; run this again.\n", me.c_str(),
                 file.c_str());
    return 1;
}

} // namespace
} // namespace kovessa

int main(int argc, char** argv) {
    return kovessa::Run(argc, argv);
}
