// The full-screen show with the real programs on a private X server: the texture hand-off, the
// pointer rule, the independent ends of the show and the renderer, and the music.
#include "common/handoff_folder.h"
#include "common/window_titles.h"
#include "tests/show/framebuffer_server.h"
#include "tests/show/show_e2e_support.h"

// GoogleTest before Xlib: Xlib's macros clash with its names.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <csignal>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa::test {
namespace {

unsigned long ShowWindow(Display* dpy) {
    const std::vector<unsigned long> found = FindWindows(dpy, kShowWindowTitle);
    return found.empty() ? 0 : found.front();
}

// Waits until the show is set up: its window exists and the renderer's window is on screen.
// Without music, all the load handler does after starting the renderer is to read the pointer,
// a matter of microseconds, while the renderer needs many milliseconds to make its window and
// OpenGL context: once that window is there, the show's start point is taken.
void WaitForRunningShow(Display* dpy) {
    ASSERT_TRUE(WaitUntil([&] { return ShowWindow(dpy) != 0 && RendererWindow(dpy) != 0; }, 20s));
}

// True once the renderer has drawn a frame that differs from what the middle of the screen
// showed when this was called: the Earth turns two degrees a second, so a live renderer
// changes the picture within a few frames.
bool RendererKeepsDrawing(Display* dpy) {
    const Image before = Capture(dpy, 860, 440, 200, 200);
    return WaitUntil([&] { return Capture(dpy, 860, 440, 200, 200).pixels != before.pixels; }, 10s);
}

TEST(ShowE2E, HandsOverBothBitmapsBeforeTheRendererAppearsAndEndsOnTheDiagonalMove) {
    Xvfb xvfb;
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    const std::string glow = ExpectedHandoffBitmap("glow.png");
    const std::string earth = ExpectedHandoffBitmap("earth.png");
    ASSERT_EQ(glow.size(), 54u + 64 * 64 * 3);
    ASSERT_EQ(earth.size(), 54u + 320 * 320 * 3);

    MovePointerTo(dpy, 900, 500);
    Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder);
    // The moment the renderer's window exists, both files must already be complete.
    ASSERT_TRUE(WaitUntil([&] { return RendererWindow(dpy) != 0; }, 20s));
    EXPECT_TRUE(ReadWholeFile(folder.HandoffDir() / kGlowBitmapName) == glow);
    EXPECT_TRUE(ReadWholeFile(folder.HandoffDir() / kBackgroundBitmapName) == earth);
    WaitForRunningShow(dpy);

    // Straight right by 200 pixels: no vertical distance, so the show goes on.
    MovePointerBy(dpy, 200, 0);
    EXPECT_FALSE(show.WaitExit(400ms).has_value());
    MovePointerTo(dpy, 900, 500);
    EXPECT_FALSE(show.WaitExit(200ms).has_value());

    // 31 right and 31 down from the start point ends it (how soon: kovessa-show-bench).
    MovePointerBy(dpy, 31, 31);
    ASSERT_EQ(show.WaitExit(2s), 0) << show.StdErr();
    CloseRenderer(dpy);
}

TEST(ShowE2E, CloseRequestEndsTheShowWhileTheRendererRunsOn) {
    Xvfb xvfb;
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    MovePointerTo(dpy, 400, 300);
    // An empty command line: the show leaves the pointer alone.
    Process show = Process::Start(folder.Scr(), {}, xvfb, &folder);
    WaitForRunningShow(dpy);

    SendCloseRequest(dpy, ShowWindow(dpy));
    ASSERT_EQ(show.WaitExit(2s), 0) << show.StdErr();
    EXPECT_EQ(ShowWindow(dpy), 0u);
    EXPECT_TRUE(RendererKeepsDrawing(dpy)) << "the renderer must end only by its own rule";
    EXPECT_NE(RendererWindow(dpy), 0u);
    CloseRenderer(dpy);
}

// The name under which the message bus library starts a bus of its own for this user and
// machine through the X server, when nothing in the environment names one.
std::string AutolaunchedBusSelection() {
    std::string machine;
    std::ifstream("/etc/machine-id") >> machine;
    const passwd* user = getpwuid(getuid());
    return "_DBUS_SESSION_BUS_SELECTION_" + std::string(user != nullptr ? user->pw_name : "") +
           "_" + machine;
}

// With no bus named, neither program may start one: it would outlive the show, and waiting
// for it to come up held the show's start and end for seconds.
TEST(ShowE2E, NoBusNamedMeansNoBusStarted) {
    Xvfb xvfb;
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    MovePointerTo(dpy, 400, 300);
    Process show =
        Process::Start(folder.Scr(), {"/s"}, xvfb, &folder, {{"DBUS_SESSION_BUS_ADDRESS", ""}});
    WaitForRunningShow(dpy);
    ASSERT_TRUE(RendererKeepsDrawing(dpy));
    const Atom selection = XInternAtom(dpy, AutolaunchedBusSelection().c_str(), False);
    EXPECT_EQ(XGetSelectionOwner(dpy, selection), static_cast<Window>(None));
    SendCloseRequest(dpy, ShowWindow(dpy));
    EXPECT_EQ(show.WaitExit(2s), 0) << show.StdErr();
    CloseRenderer(dpy);
}

// Without its picture the show is over: Esc in the renderer ends the show as a pointer move
// would, and the next show starts.
TEST(ShowE2E, EscInTheRendererEndsTheShowAndTheNextOneStarts) {
    Xvfb xvfb;
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    MovePointerTo(dpy, 960, 540);
    for (int round = 0; round < 2; ++round) {
        Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder);
        WaitForRunningShow(dpy);
        // The renderer reads the key state once a frame, so Esc is held until it has gone.
        KeyDown(dpy, XK_Escape);
        const bool rendererEnded = WaitUntil([&] { return RendererWindow(dpy) == 0; }, 10s);
        KeyUp(dpy, XK_Escape);
        ASSERT_TRUE(rendererEnded);
        EXPECT_EQ(show.WaitExit(2s), 0) << show.StdErr();
    }
}

TEST(ShowE2E, PlantedLinksNamedLikeTheBitmapsAreReplacedNotFollowed) {
    Xvfb xvfb;
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    TempDir elsewhere;
    const fs::path victim = elsewhere.Path() / "victim";
    std::ofstream(victim) << "not yours";
    fs::create_symlink(victim, folder.HandoffDir() / kGlowBitmapName);
    fs::create_symlink(victim, folder.HandoffDir() / kBackgroundBitmapName);

    Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder);
    WaitForRunningShow(dpy);
    EXPECT_EQ(ReadWholeFile(victim), "not yours");
    EXPECT_FALSE(fs::is_symlink(folder.HandoffDir() / kGlowBitmapName));
    EXPECT_TRUE(ReadWholeFile(folder.HandoffDir() / kGlowBitmapName) ==
                ExpectedHandoffBitmap("glow.png"));
    EXPECT_TRUE(ReadWholeFile(folder.HandoffDir() / kBackgroundBitmapName) ==
                ExpectedHandoffBitmap("earth.png"));
    SendCloseRequest(dpy, ShowWindow(dpy));
    EXPECT_EQ(show.WaitExit(2s), 0);
    CloseRenderer(dpy);
}

// A hand-off folder that cannot be used sends the pictures through a one-shot private folder,
// which the renderer removes once it has read them; a renderer that cannot run ends the show
// at once instead of leaving an invisible one behind.
TEST(ShowE2E, AnUnusableHandoffFolderOrRendererNeverGivesABlankShow) {
    {
        Xvfb xvfb;
        Display* dpy = xvfb.Connection();
        ProgramFolder folder;
        const auto oneShotFolders = [] {
            int n = 0;
            const std::string prefix = "kovessa-" + std::to_string(getuid()) + "-";
            for (const fs::directory_entry& e : fs::directory_iterator("/tmp")) {
                n += e.path().filename().string().starts_with(prefix) ? 1 : 0;
            }
            return n;
        };
        const int before = oneShotFolders();
        Process::Env env{{"XDG_RUNTIME_DIR", (folder.HandoffDir() / "missing").string()}};
        MovePointerTo(dpy, 500, 500);
        Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder, env);
        WaitForRunningShow(dpy);
        // The scene's middle shows the Earth, not a black screen with error boxes.
        EXPECT_TRUE(WaitUntil([&] { return PixelAt(dpy, 960, 540) != Rgb{}; }, 10s));
        EXPECT_TRUE(WaitUntil([&] { return oneShotFolders() == before; }, 10s));
        MovePointerBy(dpy, -40, -40);
        EXPECT_EQ(show.WaitExit(2s), 0) << show.StdErr();
        CloseRenderer(dpy);
    }
    {
        Xvfb xvfb;
        ProgramFolder folder;
        fs::permissions(folder.Renderer(), fs::perms::owner_read | fs::perms::group_read);
        Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder);
        EXPECT_EQ(show.WaitExit(10s), 0) << show.StdErr();
        EXPECT_NE(show.StdErr().find("cannot start"), std::string::npos) << show.StdErr();
    }
}

// The show program made the one-shot folder, so it removes it when the renderer fails before
// reading it: here a stand-in that notes its command line and fails at once, as a renderer
// whose window or texture fails does.
TEST(ShowE2E, ARendererThatFailsLeavesNoOneShotFolderBehind) {
    Xvfb xvfb;
    ProgramFolder folder;
    const fs::path arguments = folder.Dir() / "renderer-arguments";
    fs::remove(folder.Renderer());
    std::ofstream(folder.Renderer())
        << "#!/bin/sh\necho \"$@\" >" << arguments.string() << "\nexit 1\n";
    fs::permissions(folder.Renderer(), fs::perms::owner_all);
    Process::Env env{{"XDG_RUNTIME_DIR", (folder.HandoffDir() / "missing").string()}};
    Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder, env);
    EXPECT_TRUE(show.WaitExit(10s).has_value()) << show.StdErr();
    const std::string line = ReadWholeFile(arguments);
    const size_t at = line.find("--handoff-folder ");
    ASSERT_NE(at, std::string::npos) << line;
    const fs::path oneShot = line.substr(at + 17, line.find_first_of(" \n", at + 17) - at - 17);
    EXPECT_EQ(oneShot.parent_path(), "/tmp") << line;
    EXPECT_FALSE(fs::exists(oneShot)) << oneShot;
}

TEST(ShowE2E, PointerIsHiddenOnlyForASwitchedShowAndComesBackAtTheEnd) {
    struct Case {
        std::vector<std::string> args;
        bool hidden;
    };
    for (const Case& c : {Case{{"/s"}, true}, Case{{}, false}}) {
        SCOPED_TRACE(c.hidden ? "/s" : "empty command line");
        FramebufferServer server(640, 480);
        Display* dpy = server.Connection();
        Xvfb unused(XvfbOptions{64, 64}); // the programs get the framebuffer server's DISPLAY
        ProgramFolder folder;
        // The renderer hides the pointer too, and a show whose renderer cannot start ends at
        // once; a stand-in that draws nothing leaves the pointer to the show program alone.
        fs::copy_file(KOVESSA_STILL_RENDERER, folder.Renderer(),
                      fs::copy_options::overwrite_existing);
        const fs::path rendererStarted = folder.Renderer().string() + ".started";
        MovePointerTo(dpy, 300, 200);
        const auto visible = [&] { return server.PointerVisibleNear(298, 198); };
        ASSERT_TRUE(WaitUntil(visible, 3s));

        Process show = Process::Start(folder.Scr(), c.args, unused, &folder, server.Env());
        ASSERT_TRUE(WaitUntil([&] { return ShowWindow(dpy) != 0; }, 10s)) << show.StdErr();
        // The pointer is hidden before the show's window is made and the renderer started.
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(rendererStarted); }, 10s)) << show.StdErr();
        if (c.hidden) {
            EXPECT_TRUE(WaitUntil([&] { return !visible(); }, 3s));
        } else {
            EXPECT_TRUE(visible());
        }
        SendCloseRequest(dpy, ShowWindow(dpy));
        EXPECT_EQ(show.WaitExit(2s), 0) << show.StdErr();
        EXPECT_TRUE(WaitUntil(visible, 3s));
    }
}

// Bytes of sound the disk driver writes in a time: 44.1 kHz, stereo, 16-bit.
size_t DeviceBytes(std::chrono::milliseconds time) {
    return static_cast<size_t>(time.count()) * 44100 / 1000 * 4;
}

size_t FileSize(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<size_t>(size);
}

// 16-bit samples from `from` bytes on whose magnitude exceeds 1000.
size_t LoudSamplesFrom(const fs::path& recording, size_t from) {
    const std::string raw = ReadWholeFile(recording);
    size_t loud = 0;
    for (size_t i = from & ~size_t{1}; i + 1 < raw.size(); i += 2) {
        const auto v = static_cast<int16_t>(static_cast<uint8_t>(raw[i]) |
                                            static_cast<uint8_t>(raw[i + 1]) << 8);
        loud += std::abs(v) > 1000 ? 1 : 0;
    }
    return loud;
}

class ShowMusicE2E : public ::testing::Test {
protected:
    // Runs a show with the given music until the device has played `playFor` of it (or, for
    // music that must stay silent, for that long), ends it with the pointer and returns the
    // loud samples recorded before the end and after it. The show program is held at its
    // end (end_hold.cpp) while the device plays on for another 300 ms, so a sound that the
    // end sequence failed to stop is heard there.
    struct Heard {
        size_t loud = 0;
        size_t loudAfterEnd = 0;
    };
    Heard Play(int kind, const std::string& file, std::chrono::milliseconds playFor,
               bool audible = true) {
        Xvfb xvfb;
        Display* dpy = xvfb.Connection();
        ProgramFolder folder;
        WriteMusicSettings(folder, kind, file);
        MovePointerTo(dpy, 600, 600);
        const fs::path mark = dir_.Path() / "ended";
        fs::remove(mark);
        fs::remove(mark.string() + ".go");
        Process::Env env = DiskAudio(Recording());
        env.push_back({"LD_PRELOAD", KOVESSA_END_HOLD});
        env.push_back({"KOVESSA_TEST_END_MARK", mark.string()});
        Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder, env);
        EXPECT_TRUE(WaitUntil([&] { return ShowWindow(dpy) != 0; }, 10s));
        if (audible) {
            EXPECT_TRUE(
                WaitUntil([&] { return FileSize(Recording()) >= DeviceBytes(playFor); }, 10s));
        } else {
            // The renderer's window shows that the show is through its start, pointer start
            // point included, before the silence is listened to.
            EXPECT_TRUE(WaitUntil([&] { return RendererWindow(dpy) != 0; }, 20s));
            EXPECT_FALSE(show.WaitExit(playFor).has_value()) << show.StdErr();
        }
        // The renderer is not needed for the music; close it first so it cannot slow the show.
        CloseRenderer(dpy);
        MovePointerBy(dpy, 100, 100);
        EXPECT_TRUE(WaitUntil([&] { return fs::exists(mark); }, 3s)) << show.StdErr();
        const size_t atEnd = FileSize(Recording());
        if (atEnd > 0) {
            // The device goes on (with silence once nothing plays): listen for 300 ms of it.
            EXPECT_TRUE(
                WaitUntil([&] { return FileSize(Recording()) >= atEnd + DeviceBytes(300ms); }, 5s));
        }
        std::ofstream(mark.string() + ".go").put('\n');
        EXPECT_EQ(show.WaitExit(3s), 0) << show.StdErr();
        Heard heard;
        heard.loud = fs::exists(Recording()) ? LoudSamples(Recording()) : 0;
        // What the device had taken before the stop may still be on its way out: two of its
        // 1024-frame buffers.
        heard.loudAfterEnd = atEnd > 0 ? LoudSamplesFrom(Recording(), atEnd + 2 * 1024 * 4) : 0;
        return heard;
    }
    fs::path Recording() const { return dir_.Path() / "recording.raw"; }
    TempDir dir_;
};

TEST_F(ShowMusicE2E, Mp3InAnyCaseIsHeardAndStopsAtTheEnd) {
    Xvfb encoderDisplay(XvfbOptions{64, 64});
    WriteToneWav(dir_.Path() / "tone.wav", 3.0);
    const fs::path mp3 = dir_.Path() / "Tone.Mp3";
    if (!EncodeMp3(dir_.Path() / "tone.wav", mp3, encoderDisplay)) {
        GTEST_SKIP() << "lame is not installed";
    }
    const Heard heard = Play(2, mp3.string(), 1500ms);
    // About a second of a loud tone at 44.1 kHz, whatever the channel count.
    EXPECT_GT(heard.loud, 30000u);
    EXPECT_EQ(heard.loudAfterEnd, 0u);
}

TEST_F(ShowMusicE2E, WavLoopsUntilTheEnd) {
    // A fifth of a second of sound, played for two seconds: only looping fills the recording.
    WriteToneWav(dir_.Path() / "short.WAV", 0.2);
    const Heard heard = Play(2, (dir_.Path() / "short.WAV").string(), 2000ms);
    EXPECT_GT(heard.loud, 3u * 8820u);
    EXPECT_EQ(heard.loudAfterEnd, 0u);
}

TEST_F(ShowMusicE2E, OtherExtensionsAndAMissingDiscStaySilent) {
    WriteToneWav(dir_.Path() / "tone.mid", 1.0);
    WriteToneWav(dir_.Path() / "tone", 1.0);
    for (const auto& [kind, file] :
         {std::pair{2, (dir_.Path() / "tone.mid").string()},
          std::pair{2, (dir_.Path() / "tone").string()}, std::pair{1, std::string()}}) {
        SCOPED_TRACE("BGMKind " + std::to_string(kind) + " " + file);
        fs::remove(Recording());
        EXPECT_EQ(Play(kind, file, 800ms, false).loud, 0u);
    }
}

} // namespace
} // namespace kovessa::test
