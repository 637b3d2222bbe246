#include "launcher/child_process.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kovessa {

namespace {

using Clock = std::chrono::steady_clock;

struct Child {
    pid_t pid = -1;
    int exitFd = -1;
    std::optional<Clock::time_point> deadline; // set once the child has been asked to end
};

std::vector<Child>& Children() {
    static std::vector<Child> list;
    return list;
}

// The live children's pids where a signal handler may read them: fixed slots, no allocation.
constexpr int kSlots = 16;
std::atomic<pid_t> liveSlots[kSlots];

void RememberLive(pid_t pid) {
    for (std::atomic<pid_t>& slot : liveSlots) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, pid)) {
            return;
        }
    }
}

void ForgetLive(pid_t pid) {
    for (std::atomic<pid_t>& slot : liveSlots) {
        pid_t expected = pid;
        slot.compare_exchange_strong(expected, 0);
    }
}

int StatusCode(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return 255;
}

// Runs in the child between fork and exec, where only async-signal-safe calls are allowed.
[[noreturn]] void ExecChild(const char* path, char* const argv[], bool endWithParent, pid_t parent,
                            int errorPipe) {
    struct sigaction defaultAction = {};
    defaultAction.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        sigaction(signal, &defaultAction, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // The parent may have died between fork and prctl; then nobody would send the signal.
    if (endWithParent && (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)) {
        _exit(127);
    }
    execve(path, argv, environ);
    const int error = errno;
    [[maybe_unused]] const ssize_t n = write(errorPipe, &error, sizeof error);
    _exit(127);
}

} // namespace

std::optional<StartedChild> StartChild(const std::string& absolutePath,
                                       const ChildOptions& options) {
    if (absolutePath.empty() || absolutePath.front() != '/') {
        return std::nullopt;
    }

    // Everything the child needs is prepared before fork: it may not allocate.
    std::vector<std::string> strings;
    strings.push_back(absolutePath);
    strings.insert(strings.end(), options.arguments.begin(), options.arguments.end());
    std::vector<char*> argv;
    for (std::string& s : strings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);

    // exec failures come back through a pipe that a successful exec closes.
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        ExecChild(absolutePath.c_str(), argv.data(), options.endWithParent, parent, errorPipe[1]);
    }
    close(errorPipe[1]);
    if (pid < 0) {
        close(errorPipe[0]);
        return std::nullopt;
    }
    int execError = 0;
    ssize_t n = 0;
    while ((n = read(errorPipe[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    close(errorPipe[0]);
    if (n > 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return std::nullopt;
    }

    Child child;
    child.pid = pid;
    // Through syscall: this glibc's <sys/pidfd.h> declares pidfd_open without C linkage.
    child.exitFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    Children().push_back(child);
    RememberLive(pid);
    return StartedChild{pid, child.exitFd};
}

std::optional<int> ReapChild(pid_t pid) {
    auto& list = Children();
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const Child& c) { return c.pid == pid; });
    if (it == list.end()) {
        return std::nullopt;
    }
    int status = 0;
    pid_t r = 0;
    while ((r = waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (r == 0) {
        return std::nullopt;
    }
    if (it->exitFd >= 0) {
        close(it->exitFd);
    }
    ForgetLive(pid);
    list.erase(it);
    // A child that somebody else reaped is gone all the same.
    return r == pid ? StatusCode(status) : 255;
}

void AskChildrenToEnd(std::chrono::milliseconds grace) {
    const Clock::time_point deadline = Clock::now() + grace;
    for (Child& child : Children()) {
        if (child.deadline) {
            continue;
        }
        child.deadline = deadline;
        kill(child.pid, SIGTERM);
    }
}

void FinishEndingChildren() {
    auto& list = Children();
    for (Child& child : list) {
        if (!child.deadline) {
            continue;
        }
        // Without a pidfd the child gets no grace: it is killed at once below.
        while (child.exitFd >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                *child.deadline - Clock::now());
            if (left.count() <= 0) {
                break;
            }
            pollfd fd{child.exitFd, POLLIN, 0};
            const int ready = poll(&fd, 1, static_cast<int>(left.count()));
            if (ready > 0 || (ready < 0 && errno != EINTR)) {
                break;
            }
        }
        int status = 0;
        if (waitpid(child.pid, &status, WNOHANG) == 0) {
            kill(child.pid, SIGKILL);
            while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
        if (child.exitFd >= 0) {
            close(child.exitFd);
        }
        child.exitFd = -1;
        ForgetLive(child.pid);
    }
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const Child& c) { return c.deadline.has_value(); }),
               list.end());
}

void KillChildrenNow() {
    for (std::atomic<pid_t>& slot : liveSlots) {
        const pid_t pid = slot.load();
        if (pid > 0) {
            kill(pid, SIGKILL);
        }
    }
}

} // namespace kovessa
