#pragma once

// An ordinary user for the screensaver daemons' end-to-end tests. Daemons never start a hack as
// root, so the tests, which run as root on a throwaway machine, make a user of their own and
// run the daemon as that user, with the environment a desktop session gives it.
#include "tests/harness/harness.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace kovessa::test {

class DaemonUser {
public:
    // Creates the user with a home folder; available() is false when the process is not root
    // or the user could not be made.
    DaemonUser();
    ~DaemonUser();
    DaemonUser(const DaemonUser&) = delete;
    DaemonUser& operator=(const DaemonUser&) = delete;

    bool Available() const { return uid_ >= 0; }
    const std::string& Name() const { return name_; }
    uid_t Uid() const { return static_cast<uid_t>(uid_); }
    const fs::path& Home() const { return home_; }
    // A private runtime folder of the user's, as a desktop session has one.
    const fs::path& Runtime() const { return runtime_; }

    // Writes `bytes` into the user's home, owned by the user.
    void WriteHomeFile(const std::string& name, const std::string& bytes) const;
    // A folder owned by the user, for recordings.
    fs::path MakeFolder(const std::string& name) const;
    // /run/user/<uid>, owned by the user and private to it, as a login manager makes it for a
    // desktop session; removed with the user. Empty when it cannot be made.
    fs::path MakeLoginRuntimeFolder();

    // Runs `program` as the user, in an environment made of HOME, USER, DISPLAY, PATH,
    // XDG_RUNTIME_DIR and `env`, nothing else.
    Process Start(const std::string& program, const std::vector<std::string>& args,
                  const Xvfb& xvfb, const Process::Env& env = {}) const;
    // The same, waiting for the end; the exit code, or nullopt on time-out.
    std::optional<int> Run(const std::string& program, const std::vector<std::string>& args,
                           const Xvfb& xvfb, const Process::Env& env = {},
                           std::chrono::milliseconds timeout = 30s) const;

    // The user's processes whose program file is named `exeName`, as pairs of pid and state
    // letter: those that run, and those that ended and wait for a process of the user to
    // collect them (not those whose parent has gone before them).
    std::vector<std::pair<pid_t, char>> Processes(const std::string& exeName) const;

private:
    std::string name_;
    long uid_ = -1;
    fs::path home_;
    fs::path runtime_;
    fs::path loginRuntime_;
    // Whether /run/user itself was made here, so that it goes too.
    bool madeRunUser_ = false;
};

} // namespace kovessa::test
