// Kovessa under a real XScreenSaver daemon, started as an ordinary user on a private Xvfb, with
// a `programs:` entry that points at the build's Kovessa.scr.
#include "tests/daemons/daemon_user.h"
#include "tests/show/show_e2e_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sys/stat.h>

namespace kovessa::test {
namespace {

std::string XScreenSaverSettings(const fs::path& scr) {
    return "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
           "dpmsEnabled: False\nverbose: True\ntimeout: 1:00:00\ncycle: 0:00:00\n"
           "programs: GL: \"Kovessa\" " +
           scr.string() + " --root \\n\\\n\n";
}

// Kovessa's entries in `folder` that belong to `uid` (the session around the daemon keeps
// files of its own there).
std::set<std::string> FilesOf(const fs::path& folder, uid_t uid) {
    std::set<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        struct stat st = {};
        if (lstat(e.path().c_str(), &st) == 0 && st.st_uid == uid &&
            (name.find("ovessa") != std::string::npos || name.starts_with("Zeruma"))) {
            names.insert(name);
        }
    }
    return names;
}

class XScreenSaverE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!user_.Available()) {
            GTEST_SKIP() << "needs root to make an ordinary user: daemons start no hack as root";
        }
        if (!fs::exists("/usr/bin/xscreensaver")) {
            GTEST_SKIP() << "xscreensaver is not installed";
        }
        // The user reaches the programs, the music and the settings beside the program.
        fs::permissions(folder_.Dir().parent_path(),
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
        fs::permissions(dir_.Path(),
                        fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
        WriteToneWav(dir_.Path() / "tone.wav", 1.5);
        mp3_ = dir_.Path() / "tone.mp3";
        ASSERT_TRUE(EncodeMp3(dir_.Path() / "tone.wav", mp3_, *xvfb_));
        fs::permissions(mp3_, fs::perms::owner_all | fs::perms::others_read);
        WriteMusicSettings(folder_, 2, mp3_.string());
        recording_ = user_.MakeFolder("recordings") / "music.raw";
        user_.WriteHomeFile(".xscreensaver", XScreenSaverSettings(folder_.Scr()));
    }
    void TearDown() override {
        if (daemon_) {
            Command("-exit");
            daemon_->WaitExit(5s);
        }
    }

    void StartDaemon() {
        daemon_.emplace(
            user_.Start("xscreensaver", {"-no-splash"}, *xvfb_,
                        {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", recording_.string()}}));
        // The daemon answers its command tool once it runs.
        ASSERT_TRUE(WaitUntil([&] { return Command("-time") == 0; }, 20s));
    }
    std::optional<int> Command(const std::string& what) {
        return user_.Run("xscreensaver-command", {what}, *xvfb_, {}, 10s);
    }
    size_t KovessaProcesses() {
        return user_.Processes("Kovessa.scr").size() + user_.Processes("Kovessa.xy").size();
    }
    // What is left of Kovessa, for a failure's message: pid and state of each process.
    std::string KovessaLeft() {
        std::string left;
        for (const char* name : {"Kovessa.scr", "Kovessa.xy"}) {
            for (const auto& [pid, state] : user_.Processes(name)) {
                left += std::string(name) + " " + std::to_string(pid) + " " + state + "\n";
            }
        }
        return left;
    }
    // The window a running Kovessa.scr was told to draw into with --window-id, or 0.
    unsigned long PreviewPane() {
        for (const auto& [pid, state] : user_.Processes("Kovessa.scr")) {
            std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
            std::vector<std::string> args;
            for (std::string arg; std::getline(in, arg, '\0');) {
                args.push_back(arg);
            }
            const auto flag = std::find(args.begin(), args.end(), "--window-id");
            if (flag != args.end() && flag + 1 != args.end()) {
                return std::strtoul((flag + 1)->c_str(), nullptr, 0);
            }
        }
        return 0;
    }
    bool RecordingStill() {
        const auto size = [&] { return fs::exists(recording_) ? fs::file_size(recording_) : 0; };
        const uintmax_t before = size();
        return !WaitUntil([&] { return size() != before; }, 300ms);
    }

    DaemonUser user_;
    std::optional<Xvfb> xvfb_{XvfbOptions{1024, 768, 1, true}};
    ProgramFolder folder_;
    TempDir dir_;
    fs::path mp3_;
    fs::path recording_;
    std::optional<Process> daemon_;
};

TEST_F(XScreenSaverE2E, ActivateShowsTheSceneAndPlaysDeactivateLeavesNothing) {
    StartDaemon();
    const std::set<std::string> tmpBefore = FilesOf("/tmp", user_.Uid());
    const std::set<std::string> runtimeBefore = FilesOf(user_.Runtime(), user_.Uid());
    Display* dpy = xvfb_->Connection();

    ASSERT_EQ(Command("-activate"), 0);
    // The Earth in the middle of the saver window, and the fireflies' glows around it.
    ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 512, 384) > 0.9; }, 20s));
    EXPECT_TRUE(WaitUntil([&] { return GlowPixels(dpy, 0, 0, 1024, 768) > 200; }, 10s));
    SavePng(Capture(dpy, 0, 0, 1024, 768), ArtifactDir() / "xscreensaver-hack.png");
    EXPECT_TRUE(WaitUntil([&] { return LoudSamples(recording_) > 44100; }, 10s));

    ASSERT_EQ(Command("-deactivate"), 0);
    // The daemon's own steps come first here (its command, then its graphics process signals
    // the hack); the hack's part alone, signal to gone, is held to a second where the test
    // sends the signal itself.
    EXPECT_TRUE(WaitUntil([&] { return KovessaProcesses() == 0; }, 5s)) << KovessaLeft();
    EXPECT_TRUE(RecordingStill());

    // Twenty more rounds: every one starts, draws and goes, and leaves nothing behind.
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(Command("-activate"), 0) << round;
        ASSERT_TRUE(WaitUntil([&] { return user_.Processes("Kovessa.xy").size() == 1; }, 20s))
            << round;
        ASSERT_EQ(Command("-deactivate"), 0) << round;
        ASSERT_TRUE(WaitUntil([&] { return KovessaProcesses() == 0; }, 5s)) << round << "\n"
                                                                            << KovessaLeft();
    }
    for (const auto& [pid, state] : user_.Processes("")) {
        EXPECT_NE(state, 'Z') << "zombie " << pid;
    }
    EXPECT_EQ(FilesOf("/tmp", user_.Uid()), tmpBefore);
    // The two pictures of the hand-off stay for the next show, as they always have.
    std::set<std::string> runtimeAfter = FilesOf(user_.Runtime(), user_.Uid());
    runtimeAfter.erase("Zeruma1.bmp");
    runtimeAfter.erase("Zeruma2.bmp");
    EXPECT_EQ(runtimeAfter, runtimeBefore);
}

// The daemon's settings program runs the chosen hack in its preview pane: the same command with
// --root still on it, and --window-id naming the pane. Closing the program ends the hack.
TEST_F(XScreenSaverE2E, SettingsPreviewDrawsTheSceneInItsPaneAndClosingEndsIt) {
    if (!fs::exists("/usr/bin/xscreensaver-settings")) {
        GTEST_SKIP() << "xscreensaver-settings is not installed";
    }
    StartDaemon();
    Display* dpy = xvfb_->Connection();
    Process settings =
        user_.Start("xscreensaver-settings", {}, *xvfb_,
                    {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", recording_.string()}});
    unsigned long pane = 0;
    ASSERT_TRUE(WaitUntil([&] { return (pane = PreviewPane()) != 0; }, 20s)) << settings.StdErr();
    const std::optional<Geometry> area = WindowGeometry(dpy, pane);
    ASSERT_TRUE(area);
    const bool drawn = WaitUntil(
        [&] { return LitShare(dpy, area->x + area->width / 2, area->y + area->height / 2) > 0.9; },
        20s);
    SavePng(Capture(dpy, 0, 0, 1024, 768), ArtifactDir() / "xscreensaver-settings-preview.png");
    ASSERT_TRUE(drawn) << settings.StdErr();
    EXPECT_TRUE(WaitUntil(
        [&] { return GlowPixels(dpy, area->x, area->y, area->width, area->height) > 50; }, 10s));
    // The scene stays in the pane: the settings window's own face beside it is not black.
    EXPECT_GT(LitShare(dpy, area->x / 2, area->y + area->height / 2), 0.9);

    SendCloseRequest(dpy, TopLevelOf(dpy, pane));
    EXPECT_TRUE(settings.WaitExit(10s)) << settings.StdErr();
    EXPECT_TRUE(WaitUntil([&] { return KovessaProcesses() == 0; }, 5s)) << KovessaLeft();
}

// Two monitors: the daemon runs one hack per monitor. Both show the scene; exactly one of them
// has the recording open, so one stream plays.
TEST_F(XScreenSaverE2E, TwoMonitorsGiveTwoScenesAndOneMusicStream) {
    xvfb_.reset();
    xvfb_.emplace(XvfbOptions{800, 600, 2, true});
    ASSERT_EQ(xvfb_->Width(), 1600);
    StartDaemon();
    Display* dpy = xvfb_->Connection();
    ASSERT_EQ(Command("-activate"), 0);
    ASSERT_TRUE(WaitUntil([&] { return user_.Processes("Kovessa.xy").size() == 2; }, 20s))
        << daemon_->StdErr();
    const bool bothDrawn = WaitUntil(
        [&] { return LitShare(dpy, 400, 300) > 0.9 && LitShare(dpy, 1200, 300) > 0.9; }, 20s);
    SavePng(Capture(dpy, 0, 0, 1600, 600), ArtifactDir() / "xscreensaver-two-monitors.png");
    EXPECT_TRUE(bothDrawn) << daemon_->StdErr();
    ASSERT_TRUE(WaitUntil([&] { return LoudSamples(recording_) > 44100; }, 10s));

    int openers = 0;
    for (const auto& [pid, state] : user_.Processes("Kovessa.scr")) {
        std::error_code ec;
        for (const fs::directory_entry& fd :
             fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
            openers += fs::read_symlink(fd.path(), ec) == recording_;
        }
    }
    EXPECT_EQ(openers, 1);

    ASSERT_EQ(Command("-deactivate"), 0);
    EXPECT_TRUE(WaitUntil([&] { return KovessaProcesses() == 0; }, 5s)) << KovessaLeft();
    EXPECT_TRUE(RecordingStill());
}

} // namespace
} // namespace kovessa::test
