#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The programs that Kovessa.scr starts (the renderer). Each is started directly, without a
// shell, and kept in a process-wide list until it has been reaped, so that whatever ends this
// process can end its children too and no child lingers as a zombie.
namespace kovessa {

struct ChildOptions {
    std::vector<std::string> arguments; // after the program's own name
    // The child gets SIGTERM when this process dies, even by SIGKILL: a renderer drawing into
    // a daemon's window must not outlive the process the daemon knows about.
    bool endWithParent = false;
};

struct StartedChild {
    pid_t pid = -1;
    // Becomes readable when the child has ended (a pidfd); owned by the list, closed when the
    // child is reaped.
    int exitFd = -1;
};

// Starts the program at `absolutePath` with every signal at its default and none blocked, in
// the current environment, and returns at once. nullopt when the path is not absolute or the
// program cannot be run (missing, not executable, not a program).
std::optional<StartedChild> StartChild(const std::string& absolutePath,
                                       const ChildOptions& options = {});

// The child's exit status once it has ended (its exit code, or 128 + the signal that ended
// it), reaping it; nullopt while it runs or when `pid` is not a listed child.
std::optional<int> ReapChild(pid_t pid);

// Sends SIGTERM to every listed child and notes that each must be gone by `grace` from now.
// Safe to call more than once; the first deadline stands.
void AskChildrenToEnd(std::chrono::milliseconds grace);

// Waits for the children asked to end until their deadline, sends SIGKILL to those still
// running and reaps them. Children never asked to end are left to run on.
void FinishEndingChildren();

// Sends SIGKILL to every listed child. Async-signal-safe: the last resort of a process that
// must be gone before a deadline whatever state it is in.
void KillChildrenNow();

} // namespace kovessa
