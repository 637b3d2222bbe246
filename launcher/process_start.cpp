#include "launcher/process_start.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kovessa {

namespace {

// Waits for one child in a thread of its own. A process-wide SIGCHLD disposition would also
// swallow the exit status of children that Qt or a library start and wait for themselves.
void reapLater(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace

bool StartProgram(const std::string& absolutePath) {
    if (absolutePath.empty() || absolutePath.front() != '/') {
        return false;
    }

    posix_spawnattr_t attr;
    if (posix_spawnattr_init(&attr) != 0) {
        return false;
    }
    // The child starts with every signal at its default and none blocked, whatever this process
    // has set up for its own shutdown.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::string program = absolutePath;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, absolutePath.c_str(), nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        return false;
    }
    reapLater(pid);
    return true;
}

} // namespace kovessa
