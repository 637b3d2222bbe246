// Kovessa.scr as a screensaver daemon starts it: into a given window (the daemon's saver window
// or its preview area), ended only by signals, with nothing left behind.
#include "common/window_id.h"
#include "tests/show/show_e2e_support.h"

// GoogleTest before Xlib: Xlib's macros clash with its names.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa::test {
namespace {

using Clock = std::chrono::steady_clock;

// True while the process exists and has not ended (a zombie has ended).
bool Alive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return false;
    }
    const size_t close = line.rfind(')');
    return close != std::string::npos && line.size() > close + 2 && line[close + 2] != 'Z';
}

class HackE2E : public ::testing::Test {
protected:
    // A hack started the way a daemon starts it, with its music recorded.
    Process StartHack(std::vector<std::string> args, unsigned long window,
                      const fs::path& recording) {
        Process::Env env = DiskAudio(recording);
        env.push_back({"XSCREENSAVER_WINDOW", WindowIdText(window)});
        return Process::Start(folder_.Scr(), args, xvfb_, &folder_, env);
    }
    void UseWavMusic(double seconds = 2.0) {
        WriteToneWav(dir_.Path() / "tone.wav", seconds);
        WriteMusicSettings(folder_, 2, (dir_.Path() / "tone.wav").string());
    }
    pid_t WaitForRenderer(Process& hack) {
        pid_t renderer = 0;
        EXPECT_TRUE(WaitUntil(
            [&] {
                renderer = ChildOf(hack.Pid());
                return renderer != 0;
            },
            10s));
        return renderer;
    }
    // Waits until the recording grows: the music is playing.
    static bool WaitForSound(const fs::path& recording) {
        return WaitUntil([&] { return LoudSamples(recording) > 4410; }, 10s);
    }
    // The recording has stopped: no growth over a quarter second.
    static bool RecordingStill(const fs::path& recording) {
        const auto size = [&] { return fs::exists(recording) ? fs::file_size(recording) : 0; };
        const uintmax_t before = size();
        return !WaitUntil([&] { return size() != before; }, 250ms);
    }

    Xvfb xvfb_{XvfbOptions{1024, 768}};
    ProgramFolder folder_;
    TempDir dir_;
};

// The daemons' preview: --window-id with --root still on the line. The scene fills the window,
// follows its size, and the process ends once the window is destroyed.
TEST_F(HackE2E, PreviewWindowIsFilledFollowedAndOutlivedByNothing) {
    Display* dpy = xvfb_.Connection();
    const unsigned long window = CreateForeignWindow(dpy, 320, 240, Rgb{}, "daemon preview");
    Process hack = Process::Start(folder_.Scr(), {"--root", "--window-id", WindowIdText(window)},
                                  xvfb_, &folder_);
    const pid_t renderer = WaitForRenderer(hack);
    const bool drawn = WaitUntil([&] { return LitShare(dpy, 160, 120) > 0.9; }, 10s);
    SavePng(CaptureWindow(dpy, window), ArtifactDir() / "hack-preview.png");
    ASSERT_TRUE(drawn) << hack.StdErr();
    // No window of its own: nothing for a new start's guard to find, nothing over the daemon.
    EXPECT_TRUE(FindWindows(dpy, "Zeruma_Pelios").empty());
    EXPECT_TRUE(FindWindows(dpy, "Zeruma_Main").empty());

    // Larger: the middle of the new size shows the Earth. A scene that kept its old viewport
    // would leave it black (the old viewport is the bottom-left 320x240 corner).
    XResizeWindow(dpy, window, 900, 700);
    XSync(dpy, False);
    EXPECT_TRUE(WaitUntil([&] { return LitShare(dpy, 450, 350) > 0.9; }, 10s));

    DestroyForeignWindow(dpy, window);
    EXPECT_EQ(hack.WaitExit(5s), 0) << hack.StdErr();
    EXPECT_TRUE(WaitUntil([&] { return !Alive(renderer); }, 2s));
    EXPECT_EQ(hack.StdErr().find("X error"), std::string::npos) << hack.StdErr();
}

// A daemon stops a hack with one signal to that one pid and then waits without a limit, so
// the hack, its renderer and its music must all be gone within a second.
TEST_F(HackE2E, EverySignalEndsMusicAndRendererWithinASecond) {
    UseWavMusic();
    Display* dpy = xvfb_.Connection();
    const unsigned long window = CreateForeignWindow(dpy, 640, 480);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        const fs::path recording = dir_.Path() / ("rec-" + std::to_string(signal) + ".raw");
        Process hack = StartHack({"--root"}, window, recording);
        const pid_t renderer = WaitForRenderer(hack);
        ASSERT_TRUE(WaitForSound(recording)) << hack.StdErr();
        ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 320, 240) > 0.9; }, 10s));

        const Clock::time_point sent = Clock::now();
        hack.Kill(signal);
        const std::optional<int> code = hack.WaitExit(3s);
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
        ASSERT_TRUE(code.has_value());
        EXPECT_LT(took.count(), 1000);
        EXPECT_FALSE(Alive(renderer));
        EXPECT_TRUE(RecordingStill(recording));
    }
}

// SIGKILL gives the hack no chance to do anything: its renderer notices on its own.
TEST_F(HackE2E, AKilledHackTakesItsRendererWithIt) {
    Display* dpy = xvfb_.Connection();
    const unsigned long window = CreateForeignWindow(dpy, 640, 480);
    Process hack = StartHack({"-root"}, window, dir_.Path() / "rec.raw");
    const pid_t renderer = WaitForRenderer(hack);
    ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 320, 240) > 0.9; }, 10s));
    hack.Kill(SIGKILL);
    EXPECT_TRUE(hack.WaitExit(2s).has_value());
    EXPECT_TRUE(WaitUntil([&] { return !Alive(renderer); }, 2s));
}

// What a daemon cannot use ends the hack with a line, never a box or a hang.
TEST_F(HackE2E, BadWindowsAndAMissingRendererFailWithALine) {
    struct Case {
        std::vector<std::string> args;
        const char* daemonWindow;
        bool removeRenderer;
        const char* says;
    };
    const Case cases[] = {
        {{"--root"}, "not-a-window", false, "is not a window id"},
        {{"--root", "--window-id", "0x7ffffff"}, "", false, "is not a window"},
        {{"--root"}, "", true, "Kovessa.xy"},
    };
    for (const Case& c : cases) {
        if (c.removeRenderer) {
            folder_.RemoveRenderer();
        }
        Process hack = Process::Start(folder_.Scr(), c.args, xvfb_, &folder_,
                                      {{"XSCREENSAVER_WINDOW", c.daemonWindow}});
        EXPECT_EQ(hack.WaitExit(10s), 1) << c.says;
        EXPECT_NE(hack.StdErr().find(c.says), std::string::npos) << hack.StdErr();
    }
}

// The lines of standard error, and whether each is one of ours.
struct ErrorLines {
    int count = 0;
    bool allOurs = true;
};

ErrorLines ReadErrorLines(const std::string& text) {
    ErrorLines lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end;
        const std::string line = text.substr(begin, end - begin);
        if (!line.empty()) {
            ++lines.count;
            lines.allOurs = lines.allOurs &&
                            (line.starts_with("Kovessa.scr: ") || line.starts_with("Kovessa.xy: "));
        }
        begin = end + 1;
    }
    return lines;
}

// Windows a daemon hands over that cannot be drawn into, or that their owner destroys while the
// scene is being set up, end the hack with at most one line of ours, never Xlib's dump.
TEST_F(HackE2E, UnusableOrVanishingWindowsGiveOneLineAndNoXlibDump) {
    Display* dpy = xvfb_.Connection();
    // An input-only window has no pixels to draw.
    const unsigned long inputOnly = XCreateWindow(dpy, DefaultRootWindow(dpy), 0, 0, 320, 240, 0, 0,
                                                  InputOnly, CopyFromParent, 0, nullptr);
    XMapWindow(dpy, inputOnly);
    XSync(dpy, False);
    {
        Process hack = Process::Start(
            folder_.Scr(), {"--root", "--window-id", WindowIdText(inputOnly)}, xvfb_, &folder_);
        const pid_t renderer = WaitForRenderer(hack);
        EXPECT_EQ(hack.WaitExit(10s), 1);
        EXPECT_TRUE(WaitUntil([&] { return !Alive(renderer); }, 5s));
        const std::string text = hack.StdErr();
        const ErrorLines lines = ReadErrorLines(text);
        EXPECT_EQ(lines.count, 1) << text;
        EXPECT_TRUE(lines.allOurs) << text;
        EXPECT_NE(text.find("0x"), std::string::npos) << text; // names the window
    }
    // Destroyed as soon as the renderer watches it (it selects the window's structure events),
    // while it sets up its drawing. A few rounds, as the set-up has several steps.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const unsigned long window = CreateForeignWindow(dpy, 320, 240);
        Process hack = Process::Start(
            folder_.Scr(), {"--root", "--window-id", WindowIdText(window)}, xvfb_, &folder_);
        const pid_t renderer = WaitForRenderer(hack);
        ASSERT_TRUE(WaitUntil(
            [&] {
                XWindowAttributes attributes{};
                return XGetWindowAttributes(dpy, window, &attributes) != 0 &&
                       (attributes.all_event_masks & StructureNotifyMask) != 0;
            },
            10s));
        DestroyForeignWindow(dpy, window);
        EXPECT_TRUE(hack.WaitExit(10s).has_value());
        EXPECT_TRUE(WaitUntil([&] { return !Alive(renderer); }, 5s));
        const std::string text = hack.StdErr();
        const ErrorLines lines = ReadErrorLines(text);
        EXPECT_LE(lines.count, 1) << text;
        EXPECT_TRUE(lines.allOurs) << text;
    }
}

// A daemon that drops XDG_RUNTIME_DIR, on a system without a runtime folder for the user: the
// hack runs, and leaves nothing in the temporary folder.
TEST_F(HackE2E, WithoutARuntimeFolderNothingIsLeftInTheTemporaryFolder) {
    struct stat st = {};
    const std::string login = "/run/user/" + std::to_string(getuid());
    if (lstat(login.c_str(), &st) == 0) {
        GTEST_SKIP() << login << " exists, and the hack would use it";
    }
    const fs::path tmp = dir_.Path() / "tmp";
    fs::create_directory(tmp);
    Display* dpy = xvfb_.Connection();
    const unsigned long window = CreateForeignWindow(dpy, 320, 240);
    Process hack =
        Process::Start(folder_.Scr(), {"--root", "--window-id", WindowIdText(window)}, xvfb_,
                       &folder_, {{"XDG_RUNTIME_DIR", ""}, {"TMPDIR", tmp.string()}});
    const pid_t renderer = WaitForRenderer(hack);
    ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 160, 120) > 0.9; }, 10s)) << hack.StdErr();
    hack.Kill(SIGTERM);
    EXPECT_TRUE(hack.WaitExit(5s).has_value());
    EXPECT_TRUE(WaitUntil([&] { return !Alive(renderer); }, 5s));
    for (const fs::directory_entry& left : fs::directory_iterator(tmp)) {
        ADD_FAILURE() << "left behind: " << left.path();
    }
    EXPECT_EQ(hack.StdErr().find("XDG_RUNTIME_DIR"), std::string::npos) << hack.StdErr();
}

// One instance per monitor, as a daemon runs them: every window shows the scene, one of them
// plays the music, and when that one ends the music ends with it.
TEST_F(HackE2E, TwoDaemonWindowsGiveTwoScenesAndOneStream) {
    UseWavMusic(1.0);
    Display* dpy = xvfb_.Connection();
    const unsigned long left = CreateForeignWindow(dpy, 500, 400);
    const unsigned long right = CreateForeignWindow(dpy, 500, 400);
    XMoveWindow(dpy, right, 520, 0);
    XSync(dpy, False);
    const fs::path recordLeft = dir_.Path() / "left.raw";
    const fs::path recordRight = dir_.Path() / "right.raw";
    Process a = StartHack({"--root"}, left, recordLeft);
    Process b = StartHack({"--root"}, right, recordRight);
    ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 250, 200) > 0.9; }, 10s)) << a.StdErr();
    ASSERT_TRUE(WaitUntil([&] { return LitShare(dpy, 770, 200) > 0.9; }, 10s)) << b.StdErr();
    ASSERT_TRUE(WaitUntil(
        [&] { return LoudSamples(recordLeft) > 4410 || LoudSamples(recordRight) > 4410; }, 10s));
    // The other instance never even opens a sound device.
    const bool leftPlays = LoudSamples(recordLeft) > 4410;
    EXPECT_FALSE(fs::exists(leftPlays ? recordRight : recordLeft));

    Process& player = leftPlays ? a : b;
    Process& silent = leftPlays ? b : a;
    player.Kill(SIGTERM);
    EXPECT_TRUE(player.WaitExit(2s).has_value());
    EXPECT_TRUE(RecordingStill(leftPlays ? recordLeft : recordRight));
    EXPECT_TRUE(silent.Running()) << silent.StdErr();
    silent.Kill(SIGTERM);
    EXPECT_TRUE(silent.WaitExit(2s).has_value());
}

// /s by hand: a signal ends the show and its renderer; a killed renderer ends the show.
TEST_F(HackE2E, FullScreenShowEndsWithItsRendererAndOnSignals) {
    UseWavMusic();
    Display* dpy = xvfb_.Connection();
    MovePointerTo(dpy, 512, 384);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        const fs::path recording = dir_.Path() / ("s-" + std::to_string(signal) + ".raw");
        Process show = Process::Start(folder_.Scr(), {"/s"}, xvfb_, &folder_, DiskAudio(recording));
        const pid_t renderer = WaitForRenderer(show);
        ASSERT_TRUE(WaitForSound(recording)) << show.StdErr();
        show.Kill(signal);
        EXPECT_EQ(show.WaitExit(1500ms), 0);
        EXPECT_FALSE(Alive(renderer));
        EXPECT_TRUE(FindWindows(dpy, "Zeruma_Pelios").empty());
        EXPECT_TRUE(RecordingStill(recording));
    }

    // The renderer killed outright: the show sees it go and ends, and the next show runs.
    const fs::path recording = dir_.Path() / "killed.raw";
    Process show = Process::Start(folder_.Scr(), {"/s"}, xvfb_, &folder_, DiskAudio(recording));
    const pid_t renderer = WaitForRenderer(show);
    ASSERT_TRUE(WaitForSound(recording));
    kill(renderer, SIGKILL);
    EXPECT_EQ(show.WaitExit(2s), 0) << show.StdErr();
    EXPECT_TRUE(RecordingStill(recording));
    Process next = Process::Start(folder_.Scr(), {"/s"}, xvfb_, &folder_);
    WaitForRenderer(next);
    next.Kill(SIGTERM);
    EXPECT_EQ(next.WaitExit(2s), 0);
}

// Two shows started at the same instant give one show: the claim is atomic where the
// window-title guard is not.
TEST_F(HackE2E, SimultaneousShowsGiveOneShow) {
    Display* dpy = xvfb_.Connection();
    for (int round = 0; round < 20; ++round) {
        Process a = Process::Start(folder_.Scr(), {"/s"}, xvfb_, &folder_);
        Process b = Process::Start(folder_.Scr(), {"/s"}, xvfb_, &folder_);
        ASSERT_TRUE(WaitUntil([&] { return !a.Running() || !b.Running(); }, 10s)) << round;
        Process& shown = a.Running() ? a : b;
        WaitForRenderer(shown);
        // The renderer starts before the show's window is made.
        ASSERT_TRUE(WaitUntil([&] { return !FindWindows(dpy, "Zeruma_Main").empty(); }, 10s));
        EXPECT_EQ(FindWindows(dpy, "Zeruma_Main").size(), 1u) << round;
        shown.Kill(SIGTERM);
        ASSERT_EQ(shown.WaitExit(2s), 0) << round;
    }
}

} // namespace
} // namespace kovessa::test
