// Kovessa under a real xfce4-screensaver daemon (Debian 13 and later), started as an ordinary
// user on a private Xvfb with a session bus of its own. The daemon reads the same theme entries
// as MATE's and runs their programs the same way, so the theme is the package's own desktop
// entry, pointed at a link in the hack folder to the build's Kovessa.scr; its settings live in
// Xfconf, set here with xfconf-query as a user's preferences dialog would.
#include "tests/daemons/daemon_user.h"
#include "tests/daemons/hack_link.h"
#include "tests/show/show_e2e_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>

namespace kovessa::test {
namespace {

class Xfce4ScreensaverE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!user_.Available()) {
            GTEST_SKIP() << "needs root to make an ordinary user: daemons start no hack as root";
        }
        for (const char* program :
             {"/usr/bin/xfce4-screensaver", "/usr/bin/xfce4-screensaver-command",
              "/usr/bin/dbus-daemon", "/usr/bin/xfconf-query"}) {
            if (!fs::exists(program)) {
                GTEST_SKIP() << program << " is not installed (xfce4-screensaver, Debian 13)";
            }
        }
        fs::permissions(folder_.Dir().parent_path(),
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
        fs::permissions(dataDir_.Path(),
                        fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
        link_.emplace(folder_.Scr());
        ASSERT_FALSE(link_->Path().empty()) << "cannot link into " << HackLink::kHackFolder_;
        const std::string name = link_->Path().filename().string();
        const fs::path entries = dataDir_.Path() / "applications" / "screensavers";
        fs::create_directories(entries);
        std::ofstream(entries / (name + ".desktop")) << ThemeEntry(link_->Path());
        theme_ = "screensavers-" + name;
        busPath_ = user_.Home() / "session-bus";
        loginRuntime_ = user_.MakeLoginRuntimeFolder();
    }
    void TearDown() override {
        if (daemon_) {
            Command("--exit");
            daemon_->WaitExit(5s);
        }
        if (bus_) {
            bus_->Kill(SIGTERM);
            bus_->WaitExit(5s);
        }
    }

    // What an Xfce session gives its programs: its runtime folder, the session bus (which
    // starts the settings service, xfconfd, when asked) and the data folders, the test's entry
    // first.
    Process::Env SessionEnv() const {
        return {
            {"XDG_RUNTIME_DIR", (loginRuntime_.empty() ? user_.Runtime() : loginRuntime_).string()},
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + busPath_.string()},
            {"XDG_DATA_DIRS", dataDir_.Path().string() + ":/usr/share"},
            {"XDG_CURRENT_DESKTOP", "XFCE"},
            {"NO_AT_BRIDGE", "1"},
            {"GIO_USE_VFS", "local"}};
    }
    std::optional<int> Xfconf(const std::string& property, const std::string& type,
                              const std::string& value, bool array = false) {
        std::vector<std::string> args = {
            "-c", "xfce4-screensaver", "-p", property, "-n", "-t", type, "-s", value};
        if (array) {
            args.push_back("-a");
        }
        return user_.Run("xfconf-query", args, *xvfb_, SessionEnv());
    }

    // The session bus, the settings (one theme, no lock) and the daemon with its debug log.
    void StartDaemon() {
        bus_.emplace(user_.Start(
            "dbus-daemon", {"--session", "--nofork", "--address=unix:path=" + busPath_.string()},
            *xvfb_, SessionEnv()));
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(busPath_); }, 10s)) << bus_->StdErr();
        // Mode 2 is "a single theme".
        ASSERT_EQ(Xfconf("/saver/mode", "int", "2"), 0);
        ASSERT_EQ(Xfconf("/saver/themes/list", "string", theme_, true), 0);
        ASSERT_EQ(Xfconf("/saver/enabled", "bool", "true"), 0);
        ASSERT_EQ(Xfconf("/lock/enabled", "bool", "false"), 0);
        daemon_.emplace(user_.Start("xfce4-screensaver", {"--debug"}, *xvfb_, SessionEnv()));
        ASSERT_TRUE(WaitUntil([&] { return Query().has_value(); }, 20s)) << DaemonLog();
    }
    std::optional<int> Command(const std::string& what) {
        return user_.Run("xfce4-screensaver-command", {what}, *xvfb_, SessionEnv(), 10s);
    }
    std::optional<std::string> Query() {
        Process p = user_.Start("xfce4-screensaver-command", {"--query"}, *xvfb_, SessionEnv());
        if (p.WaitExit(10s) != 0) {
            return std::nullopt;
        }
        return p.StdOut();
    }
    std::string DaemonLog() const { return daemon_ ? daemon_->StdOut() + daemon_->StdErr() : ""; }

    std::vector<std::pair<pid_t, char>> Hacks() const {
        return user_.Processes(link_->Path().filename().string());
    }
    size_t KovessaProcesses() const {
        return Hacks().size() + user_.Processes("Kovessa.scr").size() +
               user_.Processes("Kovessa.xy").size();
    }

    DaemonUser user_;
    std::optional<Xvfb> xvfb_{XvfbOptions{1024, 768, 1, true}};
    ProgramFolder folder_;
    TempDir dataDir_;
    fs::path loginRuntime_;
    std::optional<HackLink> link_;
    std::string theme_;
    fs::path busPath_;
    std::optional<Process> bus_;
    std::optional<Process> daemon_;
};

TEST_F(Xfce4ScreensaverE2E, ActivateDrawsInTheSaverWindowDeactivateLeavesNothing) {
    ASSERT_NO_FATAL_FAILURE(StartDaemon());
    Display* dpy = xvfb_->Connection();

    // Rounds: each activation starts one job for the one monitor, which draws the scene in the
    // saver window; each deactivation stops it, renderer and all.
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(Command("--activate"), 0) << round;
        ASSERT_TRUE(WaitUntil(
            [&] { return Hacks().size() == 1 && user_.Processes("Kovessa.xy").size() == 1; }, 20s))
            << round << "\n"
            << DaemonLog();
        ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 512, 384) > 0.9; }, 20s)) << round << "\n"
                                                                                   << DaemonLog();
        EXPECT_TRUE(WaitUntil([&] { return GlowPixels(dpy, 0, 0, 1024, 768) > 200; }, 10s));
        if (round == 0) {
            SavePng(Capture(dpy, 0, 0, 1024, 768), ArtifactDir() / "xfce4-screensaver-hack.png");
            const std::optional<std::string> active = Query();
            ASSERT_TRUE(active);
            EXPECT_NE(active->find("is active"), std::string::npos) << *active;
        }
        ASSERT_EQ(Command("--deactivate"), 0) << round;
        ASSERT_TRUE(WaitUntil([&] { return KovessaProcesses() == 0; }, 5s)) << round;
    }
    for (const auto& [pid, state] : user_.Processes("")) {
        EXPECT_NE(state, 'Z') << "zombie " << pid;
    }
    const std::optional<std::string> inactive = Query();
    ASSERT_TRUE(inactive);
    EXPECT_NE(inactive->find("is inactive"), std::string::npos) << *inactive;
    // A quiet run: neither program reported a problem into the daemon's log of its jobs.
    EXPECT_EQ(DaemonLog().find("command output: Kovessa"), std::string::npos) << DaemonLog();
}

} // namespace
} // namespace kovessa::test
