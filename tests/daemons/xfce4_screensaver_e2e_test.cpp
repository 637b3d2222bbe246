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
        if (!user_.available()) {
            GTEST_SKIP() << "needs root to make an ordinary user: daemons start no hack as root";
        }
        for (const char* program :
             {"/usr/bin/xfce4-screensaver", "/usr/bin/xfce4-screensaver-command",
              "/usr/bin/dbus-daemon", "/usr/bin/xfconf-query"}) {
            if (!fs::exists(program)) {
                GTEST_SKIP() << program << " is not installed (xfce4-screensaver, Debian 13)";
            }
        }
        fs::permissions(folder_.dir().parent_path(),
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
        fs::permissions(dataDir_.path(),
                        fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
        link_.emplace(folder_.scr());
        ASSERT_FALSE(link_->path().empty()) << "cannot link into " << HackLink::kHackFolder;
        const std::string name = link_->path().filename().string();
        const fs::path entries = dataDir_.path() / "applications" / "screensavers";
        fs::create_directories(entries);
        std::ofstream(entries / (name + ".desktop")) << ThemeEntry(link_->path());
        theme_ = "screensavers-" + name;
        busPath_ = user_.home() / "session-bus";
        loginRuntime_ = user_.makeLoginRuntimeFolder();
    }
    void TearDown() override {
        if (daemon_) {
            command("--exit");
            daemon_->waitExit(5s);
        }
        if (bus_) {
            bus_->kill(SIGTERM);
            bus_->waitExit(5s);
        }
    }

    // What an Xfce session gives its programs: its runtime folder, the session bus (which
    // starts the settings service, xfconfd, when asked) and the data folders, the test's entry
    // first.
    Process::Env sessionEnv() const {
        return {
            {"XDG_RUNTIME_DIR", (loginRuntime_.empty() ? user_.runtime() : loginRuntime_).string()},
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + busPath_.string()},
            {"XDG_DATA_DIRS", dataDir_.path().string() + ":/usr/share"},
            {"XDG_CURRENT_DESKTOP", "XFCE"},
            {"NO_AT_BRIDGE", "1"},
            {"GIO_USE_VFS", "local"}};
    }
    std::optional<int> xfconf(const std::string& property, const std::string& type,
                              const std::string& value, bool array = false) {
        std::vector<std::string> args = {
            "-c", "xfce4-screensaver", "-p", property, "-n", "-t", type, "-s", value};
        if (array) {
            args.push_back("-a");
        }
        return user_.run("xfconf-query", args, *xvfb_, sessionEnv());
    }

    // The session bus, the settings (one theme, no lock) and the daemon with its debug log.
    void startDaemon() {
        bus_.emplace(user_.start(
            "dbus-daemon", {"--session", "--nofork", "--address=unix:path=" + busPath_.string()},
            *xvfb_, sessionEnv()));
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(busPath_); }, 10s)) << bus_->stdErr();
        // Mode 2 is "a single theme".
        ASSERT_EQ(xfconf("/saver/mode", "int", "2"), 0);
        ASSERT_EQ(xfconf("/saver/themes/list", "string", theme_, true), 0);
        ASSERT_EQ(xfconf("/saver/enabled", "bool", "true"), 0);
        ASSERT_EQ(xfconf("/lock/enabled", "bool", "false"), 0);
        daemon_.emplace(user_.start("xfce4-screensaver", {"--debug"}, *xvfb_, sessionEnv()));
        ASSERT_TRUE(WaitUntil([&] { return query().has_value(); }, 20s)) << daemonLog();
    }
    std::optional<int> command(const std::string& what) {
        return user_.run("xfce4-screensaver-command", {what}, *xvfb_, sessionEnv(), 10s);
    }
    std::optional<std::string> query() {
        Process p = user_.start("xfce4-screensaver-command", {"--query"}, *xvfb_, sessionEnv());
        if (p.waitExit(10s) != 0) {
            return std::nullopt;
        }
        return p.stdOut();
    }
    std::string daemonLog() const { return daemon_ ? daemon_->stdOut() + daemon_->stdErr() : ""; }

    std::vector<std::pair<pid_t, char>> hacks() const {
        return user_.processes(link_->path().filename().string());
    }
    size_t kovessaProcesses() const {
        return hacks().size() + user_.processes("Kovessa.scr").size() +
               user_.processes("Kovessa.xy").size();
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
    ASSERT_NO_FATAL_FAILURE(startDaemon());
    Display* dpy = xvfb_->display();

    // Rounds: each activation starts one job for the one monitor, which draws the scene in the
    // saver window; each deactivation stops it, renderer and all.
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(command("--activate"), 0) << round;
        ASSERT_TRUE(WaitUntil(
            [&] { return hacks().size() == 1 && user_.processes("Kovessa.xy").size() == 1; }, 20s))
            << round << "\n"
            << daemonLog();
        ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 512, 384) > 0.9; }, 20s)) << round << "\n"
                                                                                   << daemonLog();
        EXPECT_TRUE(WaitUntil([&] { return GlowPixels(dpy, 0, 0, 1024, 768) > 200; }, 10s));
        if (round == 0) {
            SavePng(Capture(dpy, 0, 0, 1024, 768), ArtifactDir() / "xfce4-screensaver-hack.png");
            const std::optional<std::string> active = query();
            ASSERT_TRUE(active);
            EXPECT_NE(active->find("is active"), std::string::npos) << *active;
        }
        ASSERT_EQ(command("--deactivate"), 0) << round;
        ASSERT_TRUE(WaitUntil([&] { return kovessaProcesses() == 0; }, 5s)) << round;
    }
    for (const auto& [pid, state] : user_.processes("")) {
        EXPECT_NE(state, 'Z') << "zombie " << pid;
    }
    const std::optional<std::string> inactive = query();
    ASSERT_TRUE(inactive);
    EXPECT_NE(inactive->find("is inactive"), std::string::npos) << *inactive;
    // A quiet run: neither program reported a problem into the daemon's log of its jobs.
    EXPECT_EQ(daemonLog().find("command output: Kovessa"), std::string::npos) << daemonLog();
}

} // namespace
} // namespace kovessa::test
