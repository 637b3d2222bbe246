// Kovessa under a real mate-screensaver daemon, started as an ordinary user on a private Xvfb
// with a session bus of its own. The theme is the package's own desktop entry, pointed at a link
// in the daemon's hack folder to the build's Kovessa.scr.
#include "tests/daemons/daemon_user.h"
#include "tests/daemons/hack_link.h"
#include "tests/show/show_e2e_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa::test {
namespace {

using Clock = std::chrono::steady_clock;

// Every entry in `folder` that belongs to `uid`.
std::set<std::string> EntriesOf(const fs::path& folder, uid_t uid) {
    std::set<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        struct stat st = {};
        if (lstat(e.path().c_str(), &st) == 0 && st.st_uid == uid) {
            names.insert(e.path().filename().string());
        }
    }
    return names;
}

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

class MateScreensaverE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!user_.available()) {
            GTEST_SKIP() << "needs root to make an ordinary user: daemons start no hack as root";
        }
        for (const char* program :
             {"/usr/bin/mate-screensaver", "/usr/bin/mate-screensaver-command",
              "/usr/bin/dbus-daemon", "/usr/bin/gsettings"}) {
            if (!fs::exists(program)) {
                GTEST_SKIP() << program << " is not installed (mate-screensaver, dbus-x11)";
            }
        }
        // The user reaches the programs and the desktop entry.
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
        // Without a login's runtime folder the programs keep their files in /tmp, which the
        // removal of the user leaves.
        if (user_.available()) {
            std::error_code ec;
            fs::remove_all("/tmp/kovessa-" + std::to_string(user_.uid()), ec);
            fs::remove_all("/tmp/runtime-" + user_.name(), ec);
        }
    }

    // What a MATE session gives its programs: its runtime folder, the session bus, the
    // data folders (the test's entry first, the system's for the settings schemas). The
    // accessibility bus and the virtual file systems stay off: they would only start services
    // that outlive the test.
    Process::Env sessionEnv() const {
        return {
            {"XDG_RUNTIME_DIR", (loginRuntime_.empty() ? user_.runtime() : loginRuntime_).string()},
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + busPath_.string()},
            {"XDG_DATA_DIRS", dataDir_.path().string() + ":/usr/share"},
            {"XDG_CURRENT_DESKTOP", "MATE"},
            {"NO_AT_BRIDGE", "1"},
            {"GIO_USE_VFS", "local"}};
    }

    // The session bus, the settings (one theme, no lock) and the daemon with its debug log.
    void startDaemon() {
        bus_.emplace(user_.start(
            "dbus-daemon", {"--session", "--nofork", "--address=unix:path=" + busPath_.string()},
            *xvfb_, sessionEnv()));
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(busPath_); }, 10s)) << bus_->stdErr();
        for (const auto& [key, value] :
             std::vector<std::pair<std::string, std::string>>{{"mode", "'single'"},
                                                              {"themes", "['" + theme_ + "']"},
                                                              {"lock-enabled", "false"}}) {
            ASSERT_EQ(user_.run("gsettings", {"set", "org.mate.screensaver", key, value}, *xvfb_,
                                sessionEnv()),
                      0)
                << key;
        }
        daemon_.emplace(
            user_.start("mate-screensaver", {"--no-daemon", "--debug"}, *xvfb_, sessionEnv()));
        // The daemon answers its command tool once it holds its name on the bus.
        ASSERT_TRUE(WaitUntil([&] { return query().has_value(); }, 20s)) << daemonLog();
    }
    std::optional<int> command(const std::string& what) {
        return user_.run("mate-screensaver-command", {what}, *xvfb_, sessionEnv(), 10s);
    }
    // The daemon's answer to --query, or nothing when it does not answer.
    std::optional<std::string> query() {
        Process p = user_.start("mate-screensaver-command", {"--query"}, *xvfb_, sessionEnv());
        if (p.waitExit(10s) != 0) {
            return std::nullopt;
        }
        return p.stdOut();
    }
    std::string daemonLog() const { return daemon_ ? daemon_->stdOut() + daemon_->stdErr() : ""; }

    // The daemon's job: Kovessa.scr, started through the link, so named after it.
    std::vector<std::pair<pid_t, char>> hacks() const {
        return user_.processes(link_->path().filename().string());
    }
    // Every Kovessa process of the user, zombies included.
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

TEST_F(MateScreensaverE2E, ActivateDrawsInTheSaverWindowDeactivateLeavesNothing) {
    loginRuntime_ = user_.makeLoginRuntimeFolder();
    ASSERT_FALSE(loginRuntime_.empty());
    ASSERT_NO_FATAL_FAILURE(startDaemon());
    const std::set<std::string> tmpBefore = EntriesOf("/tmp", user_.uid());
    Display* dpy = xvfb_->display();

    ASSERT_EQ(command("--activate"), 0);
    // One saver window for the one monitor: one job, which starts its renderer.
    ASSERT_TRUE(WaitUntil(
        [&] { return hacks().size() == 1 && user_.processes("Kovessa.xy").size() == 1; }, 20s))
        << daemonLog();
    const pid_t hack = hacks().front().first;
    // The Earth in the middle of the saver window, and the fireflies' glows around it.
    ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 512, 384) > 0.9; }, 20s)) << daemonLog();
    EXPECT_TRUE(WaitUntil([&] { return GlowPixels(dpy, 0, 0, 1024, 768) > 200; }, 10s));
    SavePng(Capture(dpy, 0, 0, 1024, 768), ArtifactDir() / "mate-screensaver-hack.png");
    EXPECT_EQ(hacks().size(), 1U);
    EXPECT_EQ(user_.processes("Kovessa.xy").size(), 1U);
    const std::optional<std::string> active = query();
    ASSERT_TRUE(active);
    EXPECT_NE(active->find("is active"), std::string::npos) << *active;
    // The daemon hands its jobs no XDG_RUNTIME_DIR; the program takes the login's folder, so
    // the bitmaps are handed over there and not in a folder of /tmp.
    EXPECT_TRUE(fs::exists(loginRuntime_ / "Zeruma1.bmp"));
    EXPECT_TRUE(fs::exists(loginRuntime_ / "Zeruma2.bmp"));

    // The command returns once the daemon has stopped its job, so the time counts from the ask.
    const Clock::time_point asked = Clock::now();
    ASSERT_EQ(command("--deactivate"), 0);
    EXPECT_TRUE(WaitUntil([&] { return kovessaProcesses() == 0; }, 5s));
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked).count();
    // The daemon waits for its job in its main loop, so a slow end would hold the whole daemon.
    EXPECT_LT(took, 3000) << "the hack took " << took << " ms to go";
    RecordProperty("deactivate_to_gone_ms", static_cast<int>(took));
    // The daemon reaped its own child, Kovessa.scr itself, and still answers.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string log = daemonLog();
            return log.find("Waiting on process " + std::to_string(hack) + "\n") !=
                       std::string::npos &&
                   log.find("Job died") != std::string::npos;
        },
        5s))
        << daemonLog();
    const std::optional<std::string> inactive = query();
    ASSERT_TRUE(inactive);
    EXPECT_NE(inactive->find("is inactive"), std::string::npos) << *inactive;

    // More rounds: every one starts, draws and goes.
    constexpr int kRounds = 5;
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_EQ(command("--activate"), 0) << round;
        ASSERT_TRUE(WaitUntil([&] { return user_.processes("Kovessa.xy").size() == 1; }, 20s))
            << round;
        ASSERT_EQ(command("--deactivate"), 0) << round;
        ASSERT_TRUE(WaitUntil([&] { return kovessaProcesses() == 0; }, 5s)) << round;
    }
    EXPECT_TRUE(WaitUntil([&] { return Occurrences(daemonLog(), "Job died") == kRounds + 1; }, 5s))
        << daemonLog();
    for (const auto& [pid, state] : user_.processes("")) {
        EXPECT_NE(state, 'Z') << "zombie " << pid;
    }
    // A quiet run: neither program reported a problem into the daemon's log of its jobs.
    EXPECT_EQ(daemonLog().find("command output: Kovessa"), std::string::npos) << daemonLog();
    EXPECT_EQ(EntriesOf("/tmp", user_.uid()), tmpBefore);
    EXPECT_TRUE(query().has_value());
}

// A session without a login manager's /run/user/<uid> (its runtime folder lies elsewhere, and
// the daemon drops it): the show makes a private runtime folder of its own, both programs hand
// the bitmaps over through it, the scene shows with its pictures, and the folder goes with the
// show.
TEST_F(MateScreensaverE2E, WithNoLoginRuntimeFolderTheSceneStillShows) {
    ASSERT_NO_FATAL_FAILURE(startDaemon());
    const std::set<std::string> tmpBefore = EntriesOf("/tmp", user_.uid());
    Display* dpy = xvfb_->display();
    ASSERT_EQ(command("--activate"), 0);
    ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 512, 384) > 0.9; }, 20s)) << daemonLog();
    EXPECT_TRUE(WaitUntil([&] { return GlowPixels(dpy, 0, 0, 1024, 768) > 200; }, 10s));
    int handoffFolders = 0;
    for (const std::string& entry : EntriesOf("/tmp", user_.uid())) {
        if (tmpBefore.count(entry) == 0 && entry.rfind("kovessa-runtime-", 0) == 0 &&
            fs::exists(fs::path("/tmp") / entry / "Zeruma1.bmp") &&
            fs::exists(fs::path("/tmp") / entry / "Zeruma2.bmp")) {
            ++handoffFolders;
        }
    }
    EXPECT_EQ(handoffFolders, 1);
    EXPECT_FALSE(fs::exists(user_.runtime() / "Zeruma1.bmp"));

    ASSERT_EQ(command("--deactivate"), 0);
    EXPECT_TRUE(WaitUntil([&] { return kovessaProcesses() == 0; }, 5s));
    EXPECT_EQ(daemonLog().find("command output: Kovessa"), std::string::npos) << daemonLog();
    EXPECT_EQ(EntriesOf("/tmp", user_.uid()), tmpBefore);
}

} // namespace
} // namespace kovessa::test
