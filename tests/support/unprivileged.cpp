#include "tests/support/unprivileged.h"

#include <cerrno>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kovessa::test {
namespace {

// Gives up root for good: the supplementary groups first, then the group and the user (the
// user last, since changing the groups needs root). Checks that root cannot be taken back.
bool DropRoot() {
    if (::setgroups(0, nullptr) != 0) {
        return false;
    }
    if (::setresgid(kUnprivilegedGid, kUnprivilegedGid, kUnprivilegedGid) != 0) {
        return false;
    }
    if (::setresuid(kUnprivilegedUid, kUnprivilegedUid, kUnprivilegedUid) != 0) {
        return false;
    }
    return ::geteuid() == kUnprivilegedUid && ::getegid() == kUnprivilegedGid &&
           ::setresuid(0, 0, 0) != 0;
}

} // namespace

bool GiveToUnprivilegedUser(const std::string& path) {
    if (::geteuid() != 0) {
        return true;
    }
    return ::lchown(path.c_str(), kUnprivilegedUid, kUnprivilegedGid) == 0;
}

int RunUnprivileged(const std::function<int()>& body) {
    const bool root = ::geteuid() == 0;
    const pid_t child = ::fork();
    if (child < 0) {
        return kNoChild;
    }
    if (child == 0) {
        // _exit: the test framework's exit handlers and buffered output belong to the parent.
        if (root && !DropRoot()) {
            ::_exit(kCouldNotDropRoot);
        }
        int result = kBodyThrew;
        try {
            result = body();
        } catch (...) {
        }
        ::_exit(result);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return kNoChild;
        }
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return WEXITSTATUS(status);
}

std::string DescribeChildResult(int result, const std::vector<std::string>& checks) {
    if (result == 0) {
        return "every check held";
    }
    if (result == kNoChild) {
        return "no child process could be started or waited for";
    }
    if (result == kCouldNotDropRoot) {
        return "the child could not give up root";
    }
    if (result == kBodyThrew) {
        return "the child's checks threw an exception";
    }
    if (result > 128) {
        return "the child was killed by signal " + std::to_string(result - 128);
    }
    if (result > 0 && static_cast<size_t>(result) <= checks.size()) {
        return "check " + std::to_string(result) + " failed: " + checks[result - 1];
    }
    return "the child ended with status " + std::to_string(result);
}

} // namespace kovessa::test
