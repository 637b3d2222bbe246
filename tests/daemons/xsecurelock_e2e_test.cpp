// Kovessa under a real xsecurelock, started as an ordinary user on a private Xvfb of two
// monitors. xsecurelock runs its saver once per monitor with the monitor's window in
// XSCREENSAVER_WINDOW, and stops each by its process group when the lock ends. Kovessa is its
// saver in both ways a user sets it up: as the hack that the saver_xscreensaver module picks
// from the user's ~/.xscreensaver list, and named directly in XSECURELOCK_SAVER.
#include "tests/daemons/daemon_user.h"
#include "tests/show/show_e2e_support.h"

#include <gtest/gtest.h>

#include <csignal>

namespace kovessa::test {
namespace {

constexpr int kMonitorWidth = 640;
constexpr int kMonitorHeight = 480;
constexpr int kMonitors = 2;

class XSecureLockE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!user_.Available()) {
            GTEST_SKIP() << "needs root to make an ordinary user: the lock runs as its user";
        }
        if (!fs::exists("/usr/bin/xsecurelock")) {
            GTEST_SKIP() << "xsecurelock is not installed";
        }
        fs::permissions(folder_.Dir().parent_path(),
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
        // The hack folder as the package lays it out: a link named kovessa to Kovessa.scr.
        fs::permissions(hacks_.Path(),
                        fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
        fs::create_symlink(folder_.Scr(), hacks_.Path() / "kovessa");
    }
    void TearDown() override {
        if (lock_ && lock_->Running()) {
            lock_->Kill(SIGTERM);
            lock_->WaitExit(5s);
        }
    }

    // xsecurelock with `saver` as its per-monitor saver. The hack folder stands in for the
    // system's (saver_xscreensaver reads it from the environment); the screen is never blanked
    // during the test, and the lock covers the screen itself rather than the compositor's
    // overlay, which Xvfb's screen captures do not show.
    void Lock(const std::string& saver) {
        lock_.emplace(user_.Start("xsecurelock", {}, *xvfb_,
                                  {{"XSECURELOCK_SAVER", saver},
                                   {"XSECURELOCK_XSCREENSAVER_PATH", hacks_.Path().string()},
                                   {"XSECURELOCK_BLANK_TIMEOUT", "-1"},
                                   {"XSECURELOCK_NO_COMPOSITE", "1"}}));
    }
    // Ends the lock as an unlock does: xsecurelock stops every saver's process group and exits.
    std::optional<int> Unlock() {
        lock_->Kill(SIGTERM);
        return lock_->WaitExit(10s);
    }

    size_t KovessaProcesses() const {
        return user_.Processes("Kovessa.scr").size() + user_.Processes("Kovessa.xy").size();
    }
    // Each monitor shows the scene: the Earth in the middle, fireflies' glows around it.
    bool EveryMonitorDrawn() const {
        Display* dpy = xvfb_->Connection();
        for (int m = 0; m < kMonitors; ++m) {
            const int left = m * kMonitorWidth;
            if (LitShare(dpy, left + kMonitorWidth / 2, kMonitorHeight / 2) <= 0.9 ||
                GlowPixels(dpy, left, 0, kMonitorWidth, kMonitorHeight) <= 100) {
                return false;
            }
        }
        return true;
    }
    void ExpectNothingLeft() const {
        EXPECT_TRUE(WaitUntil([&] { return KovessaProcesses() == 0; }, 5s));
        for (const auto& [pid, state] : user_.Processes("")) {
            EXPECT_NE(state, 'Z') << "zombie " << pid;
        }
    }
    std::string LockLog() const { return lock_ ? lock_->StdOut() + lock_->StdErr() : ""; }

    DaemonUser user_;
    std::optional<Xvfb> xvfb_{XvfbOptions{kMonitorWidth, kMonitorHeight, kMonitors, true}};
    ProgramFolder folder_;
    TempDir hacks_;
    std::optional<Process> lock_;
};

TEST_F(XSecureLockE2E, ItsXScreenSaverModuleRunsKovessaFromTheUsersListOnEveryMonitor) {
    user_.WriteHomeFile(
        ".xscreensaver",
        "mode: one\nselected: 0\nprograms: GL: \"Kovessa\" kovessa --root \\n\\\n\n");
    // Three locks in a row: each starts one Kovessa per monitor, and its end leaves nothing.
    for (int round = 0; round < 3; ++round) {
        Lock("saver_xscreensaver");
        ASSERT_TRUE(WaitUntil([&] { return EveryMonitorDrawn(); }, 30s)) << round << "\n"
                                                                         << LockLog();
        EXPECT_EQ(user_.Processes("Kovessa.xy").size(), static_cast<size_t>(kMonitors));
        if (round == 0) {
            SavePng(Capture(xvfb_->Connection(), 0, 0, xvfb_->Width(), xvfb_->Height()),
                    ArtifactDir() / "xsecurelock-xscreensaver-module.png");
        }
        ASSERT_TRUE(Unlock().has_value()) << round;
        ExpectNothingLeft();
    }
    // The module never found Kovessa failing, which would have made it try another saver.
    EXPECT_EQ(LockLog().find("Screen saver failed"), std::string::npos) << LockLog();
}

TEST_F(XSecureLockE2E, NamedDirectlyKovessaRunsOnEveryMonitor) {
    Lock((hacks_.Path() / "kovessa").string());
    ASSERT_TRUE(WaitUntil([&] { return EveryMonitorDrawn(); }, 30s)) << LockLog();
    EXPECT_EQ(user_.Processes("Kovessa.xy").size(), static_cast<size_t>(kMonitors));
    SavePng(Capture(xvfb_->Connection(), 0, 0, xvfb_->Width(), xvfb_->Height()),
            ArtifactDir() / "xsecurelock-direct.png");
    ASSERT_TRUE(Unlock().has_value());
    ExpectNothingLeft();
}

} // namespace
} // namespace kovessa::test
