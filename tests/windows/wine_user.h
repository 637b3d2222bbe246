#pragma once

// The user a Windows program runs as in a test that needs folder permissions to bind: the
// superuser writes into any folder whatever its modes, so such a test, run as root on a
// throwaway machine, makes an ordinary user (as the daemon tests do) with a Wine prefix of its
// own; run as an ordinary user, it is that user, with the run's prefix.
#include "tests/daemons/daemon_user.h"
#include "tests/harness/harness.h"
#include "tests/support/temp_dir.h"

#include <optional>
#include <string>
#include <vector>

namespace kovessa::test {

class WineUser {
public:
    // As root, makes the user and its prefix (a minute on a busy machine); `xvfb` must let
    // every local user connect (XvfbOptions::openToAllUsers).
    explicit WineUser(const Xvfb& xvfb);
    ~WineUser();
    WineUser(const WineUser&) = delete;
    WineUser& operator=(const WineUser&) = delete;

    // False when the user or its prefix could not be made.
    bool Available() const { return available_; }
    // A home folder of the user's, where its sound settings go.
    const fs::path& Home() const;
    const fs::path& Prefix() const;
    // The user's profile folder in the prefix (drive_c/users/NAME).
    fs::path Profile() const;

    // Makes `path` and its missing parents, the user's own.
    void MakeFolder(const fs::path& path) const;
    // Writes `bytes` into `path`, the user's own file.
    void WriteFile(const fs::path& path, const std::string& bytes) const;
    // Copies `from` into `to`, the user's own file.
    void CopyFile(const fs::path& from, const fs::path& to) const;

    // Starts a Windows program of this machine under Wine, as the user, in its prefix; `home`
    // (a folder of the user's), when given, stands for its home, whose sound settings it takes.
    Process StartWine(const fs::path& exe, const std::vector<std::string>& args, const Xvfb& xvfb,
                      const fs::path& home = {}) const;
    // Ends every Wine process of the user's prefix.
    void EndWineProcesses() const;

private:
    Process::Env WineEnvironment(const fs::path& home) const;
    void Hand(const fs::path& path) const;

    std::optional<DaemonUser> ordinary_; // as root only
    std::optional<TempDir> ownHome_;     // as an ordinary user only
    fs::path prefix_;
    std::string name_;
    bool available_ = false;
};

} // namespace kovessa::test
