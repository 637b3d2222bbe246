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
        if (!user_.Available()) {
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
        // Without a login's runtime folder the programs keep their files in /tmp, which the
        // removal of the user leaves.
        if (user_.Available()) {
            std::error_code ec;
            fs::remove_all("/tmp/kovessa-" + std::to_string(user_.Uid()), ec);
            fs::remove_all("/tmp/runtime-" + user_.Name(), ec);
        }
    }

    // What a MATE session gives its programs: its runtime folder, the session bus, the
    // data folders (the test's entry first, the system's for the settings schemas). The
    // accessibility bus and the virtual file systems stay off: they would only start services
    // that outlive the test.
    Process::Env SessionEnv() const {
        return {
            {"XDG_RUNTIME_DIR", (loginRuntime_.empty() ? user_.Runtime() : loginRuntime_).string()},
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + busPath_.string()},
            {"XDG_DATA_DIRS", dataDir_.Path().string() + ":/usr/share"},
            {"XDG_CURRENT_DESKTOP", "MATE"},
            {"NO_AT_BRIDGE", "1"},
            {"GIO_USE_VFS", "local"}};
    }

    // The session bus, the settings (one theme, no lock) and the daemon with its debug log.
    void StartDaemon() {
        bus_.emplace(user_.Start(
            "dbus-daemon", {"--session", "--nofork", "--address=unix:path=" + busPath_.string()},
            *xvfb_, SessionEnv()));
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(busPath_); }, 10s)) << bus_->StdErr();
        for (const auto& [key, value] :
             std::vector<std::pair<std::string, std::string>>{{"mode", "'single'"},
                                                              {"themes", "['" + theme_ + "']"},
                                                              {"lock-enabled", "false"}}) {
            ASSERT_EQ(user_.Run("gsettings", {"set", "org.mate.screensaver", key, value}, *xvfb_,
                                SessionEnv()),
                      0)
                << key;
        }
        daemon_.emplace(
            user_.Start("mate-screensaver", {"--no-daemon", "--debug"}, *xvfb_, SessionEnv()));
        // The daemon answers its command tool once it holds its name on the bus.
        ASSERT_TRUE(WaitUntil([&] { return Query().has_value(); }, 20s)) << DaemonLog();
    }
    std::optional<int> Command(const std::string& what) {
        return user_.Run("mate-screensaver-command", {what}, *xvfb_, SessionEnv(), 10s);
    }
    // The daemon's answer to --query, or nothing when it does not answer.
    std::optional<std::string> Query() {
        Process p = user_.Start("mate-screensaver-command", {"--query"}, *xvfb_, SessionEnv());
        if (p.WaitExit(10s) != 0) {
            return std::nullopt;
        }
        return p.StdOut();
    }
    std::string DaemonLog() const { return daemon_ ? daemon_->StdOut() + daemon_->StdErr() : ""; }

    // The daemon's job: Kovessa.scr, started through the link, so named after it.
    std::vector<std::pair<pid_t, char>> Hacks() const {
        return user_.Processes(link_->Path().filename().string());
    }
    // Every Kovessa process of the user, zombies included.
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

TEST_F(MateScreensaverE2E, ActivateDrawsInTheSaverWindowDeactivateLeavesNothing) {
    loginRuntime_ = user_.MakeLoginRuntimeFolder();
    ASSERT_FALSE(loginRuntime_.empty());
    ASSERT_NO_FATAL_FAILURE(StartDaemon());
    const std::set<std::string> tmpBefore = EntriesOf("/tmp", user_.Uid());
    Display* dpy = xvfb_->Connection();

    ASSERT_EQ(Command("--activate"), 0);
    // One saver window for the one monitor: one job, which starts its renderer.
    ASSERT_TRUE(WaitUntil(
        [&] { return Hacks().size() == 1 && user_.Processes("Kovessa.xy").size() == 1; }, 20s))
        << DaemonLog();
    const pid_t hack = Hacks().front().first;
    // The Earth in the middle of the saver window, and the fireflies' glows around it.
    ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 512, 384) > 0.9; }, 20s)) << DaemonLog();
    EXPECT_TRUE(WaitUntil([&] { return GlowPixels(dpy, 0, 0, 1024, 768) > 200; }, 10s));
    SavePng(Capture(dpy, 0, 0, 1024, 768), ArtifactDir() / "mate-screensaver-hack.png");
    EXPECT_EQ(Hacks().size(), 1U);
    EXPECT_EQ(user_.Processes("Kovessa.xy").size(), 1U);
    const std::optional<std::string> active = Query();
    ASSERT_TRUE(active);
    EXPECT_NE(active->find("is active"), std::string::npos) << *active;
    // The daemon hands its jobs no XDG_RUNTIME_DIR; the program takes the login's folder, so
    // the bitmaps are handed over there and not in a folder of /tmp.
    EXPECT_TRUE(fs::exists(loginRuntime_ / "Zeruma1.bmp"));
    EXPECT_TRUE(fs::exists(loginRuntime_ / "Zeruma2.bmp"));

    // The command returns once the daemon has stopped its job, so the time counts from the ask.
    const Clock::time_point asked = Clock::now();
    ASSERT_EQ(Command("--deactivate"), 0);
    EXPECT_TRUE(WaitUntil([&] { return KovessaProcesses() == 0; }, 5s));
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked).count();
    // The daemon waits for its job in its main loop, so a slow end would hold the whole daemon.
    EXPECT_LT(took, 3000) << "the hack took " << took << " ms to go";
    RecordProperty("deactivate_to_gone_ms", static_cast<int>(took));
    // The daemon reaped its own child, Kovessa.scr itself, and still answers.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string log = DaemonLog();
            return log.find("Waiting on process " + std::to_string(hack) + "\n") !=
                       std::string::npos &&
                   log.find("Job died") != std::string::npos;
        },
        5s))
        << DaemonLog();
    const std::optional<std::string> inactive = Query();
    ASSERT_TRUE(inactive);
    EXPECT_NE(inactive->find("is inactive"), std::string::npos) << *inactive;

    // More rounds: every one starts, draws and goes.
    constexpr int kRounds = 5;
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_EQ(Command("--activate"), 0) << round;
        ASSERT_TRUE(WaitUntil([&] { return user_.Processes("Kovessa.xy").size() == 1; }, 20s))
            << round;
        ASSERT_EQ(Command("--deactivate"), 0) << round;
        ASSERT_TRUE(WaitUntil([&] { return KovessaProcesses() == 0; }, 5s)) << round;
    }
    EXPECT_TRUE(WaitUntil([&] { return Occurrences(DaemonLog(), "Job died") == kRounds + 1; }, 5s))
        << DaemonLog();
    for (const auto& [pid, state] : user_.Processes("")) {
        EXPECT_NE(state, 'Z') << "zombie " << pid;
    }
    // A quiet run: neither program reported a problem into the daemon's log of its jobs.
    EXPECT_EQ(DaemonLog().find("command output: Kovessa"), std::string::npos) << DaemonLog();
    EXPECT_EQ(EntriesOf("/tmp", user_.Uid()), tmpBefore);
    EXPECT_TRUE(Query().has_value());
}

// A session without a login manager's /run/user/<uid> (its runtime folder lies elsewhere, and
// the daemon drops it): the show makes a private runtime folder of its own, both programs hand
// the bitmaps over through it, the scene shows with its pictures, and the folder goes with the
// show.
TEST_F(MateScreensaverE2E, WithNoLoginRuntimeFolderTheSceneStillShows) {
    ASSERT_NO_FATAL_FAILURE(StartDaemon());
    const std::set<std::string> tmpBefore = EntriesOf("/tmp", user_.Uid());
    Display* dpy = xvfb_->Connection();
    ASSERT_EQ(Command("--activate"), 0);
    ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 512, 384) > 0.9; }, 20s)) << DaemonLog();
    EXPECT_TRUE(WaitUntil([&] { return GlowPixels(dpy, 0, 0, 1024, 768) > 200; }, 10s));
    int handoffFolders = 0;
    for (const std::string& entry : EntriesOf("/tmp", user_.Uid())) {
        if (tmpBefore.count(entry) == 0 && entry.rfind("kovessa-runtime-", 0) == 0 &&
            fs::exists(fs::path("/tmp") / entry / "Zeruma1.bmp") &&
            fs::exists(fs::path("/tmp") / entry / "Zeruma2.bmp")) {
            ++handoffFolders;
        }
    }
    EXPECT_EQ(handoffFolders, 1);
    EXPECT_FALSE(fs::exists(user_.Runtime() / "Zeruma1.bmp"));

    ASSERT_EQ(Command("--deactivate"), 0);
    EXPECT_TRUE(WaitUntil([&] { return KovessaProcesses() == 0; }, 5s));
    EXPECT_EQ(DaemonLog().find("command output: Kovessa"), std::string::npos) << DaemonLog();
    EXPECT_EQ(EntriesOf("/tmp", user_.Uid()), tmpBefore);
}

} // namespace
} // namespace kovessa::test
