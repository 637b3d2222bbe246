// The full-screen show with the real programs on a private X server: the texture hand-off, the
// pointer rule, the independent ends of the show and the renderer, and the music.
#include "common/handoff_folder.h"
#include "common/window_titles.h"
#include "tests/show/framebuffer_server.h"
#include "tests/show/show_e2e_support.h"

// GoogleTest before Xlib: Xlib's macros clash with its names.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace kovessa::test {
namespace {

using Clock = std::chrono::steady_clock;

unsigned long ShowWindow(Display* dpy) {
    const std::vector<unsigned long> found = FindWindows(dpy, kShowWindowTitle);
    return found.empty() ? 0 : found.front();
}

// Waits until the show is set up: its window exists and the renderer's window is on screen.
// The renderer starts after the show has written the bitmaps and before it reads the pointer,
// so a short settling time after that covers the end of the load handler.
void WaitForRunningShow(Display* dpy) {
    ASSERT_TRUE(WaitUntil([&] { return ShowWindow(dpy) != 0 && RendererWindow(dpy) != 0; }, 20s));
    std::this_thread::sleep_for(300ms);
}

TEST(ShowE2E, HandsOverBothBitmapsBeforeTheRendererAppearsAndEndsOnTheDiagonalMove) {
    Xvfb xvfb;
    Display* dpy = xvfb.display();
    ProgramFolder folder;
    const std::string glow = ExpectedHandoffBitmap("glow.png");
    const std::string earth = ExpectedHandoffBitmap("earth.png");
    ASSERT_EQ(glow.size(), 54u + 64 * 64 * 3);
    ASSERT_EQ(earth.size(), 54u + 320 * 320 * 3);

    MovePointerTo(dpy, 900, 500);
    Process show = Process::start(folder.scr(), {"/s"}, xvfb, &folder);
    // The moment the renderer's window exists, both files must already be complete.
    ASSERT_TRUE(WaitUntil([&] { return RendererWindow(dpy) != 0; }, 20s));
    EXPECT_TRUE(ReadWholeFile(folder.handoffDir() / kGlowBitmapName) == glow);
    EXPECT_TRUE(ReadWholeFile(folder.handoffDir() / kBackgroundBitmapName) == earth);
    WaitForRunningShow(dpy);

    // Straight right by 200 pixels: no vertical distance, so the show goes on.
    MovePointerBy(dpy, 200, 0);
    EXPECT_FALSE(show.waitExit(400ms).has_value());
    MovePointerTo(dpy, 900, 500);
    EXPECT_FALSE(show.waitExit(200ms).has_value());

    // 31 right and 31 down from the start point ends it within about two ticks.
    const Clock::time_point moved = Clock::now();
    MovePointerBy(dpy, 31, 31);
    const std::optional<int> code = show.waitExit(2s);
    const auto reaction =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - moved);
    ASSERT_EQ(code, 0) << show.stdErr();
    EXPECT_LT(reaction.count(), 250) << "the show took " << reaction.count() << " ms to end";
    RecordProperty("reaction_ms", static_cast<int>(reaction.count()));
    CloseRenderer(dpy);
}

TEST(ShowE2E, CloseRequestEndsTheShowWhileTheRendererRunsOn) {
    Xvfb xvfb;
    Display* dpy = xvfb.display();
    ProgramFolder folder;
    MovePointerTo(dpy, 400, 300);
    // An empty command line: the show leaves the pointer alone.
    Process show = Process::start(folder.scr(), {}, xvfb, &folder);
    WaitForRunningShow(dpy);

    SendCloseRequest(dpy, ShowWindow(dpy));
    ASSERT_EQ(show.waitExit(2s), 0) << show.stdErr();
    EXPECT_EQ(ShowWindow(dpy), 0u);
    std::this_thread::sleep_for(500ms);
    EXPECT_NE(RendererWindow(dpy), 0u) << "the renderer must end only by its own rule";
    CloseRenderer(dpy);
}

// Without its picture the show is over: Esc in the renderer ends the show as a pointer move
// would, and the next show starts.
TEST(ShowE2E, EscInTheRendererEndsTheShowAndTheNextOneStarts) {
    Xvfb xvfb;
    Display* dpy = xvfb.display();
    ProgramFolder folder;
    MovePointerTo(dpy, 960, 540);
    for (int round = 0; round < 2; ++round) {
        Process show = Process::start(folder.scr(), {"/s"}, xvfb, &folder);
        WaitForRunningShow(dpy);
        // The renderer reads the key state once a frame, so Esc is held until it has gone.
        KeyDown(dpy, XK_Escape);
        const bool rendererEnded = WaitUntil([&] { return RendererWindow(dpy) == 0; }, 10s);
        KeyUp(dpy, XK_Escape);
        ASSERT_TRUE(rendererEnded);
        EXPECT_EQ(show.waitExit(2s), 0) << show.stdErr();
    }
}

TEST(ShowE2E, PlantedLinksNamedLikeTheBitmapsAreReplacedNotFollowed) {
    Xvfb xvfb;
    Display* dpy = xvfb.display();
    ProgramFolder folder;
    TempDir elsewhere;
    const fs::path victim = elsewhere.path() / "victim";
    { std::ofstream(victim) << "not yours"; }
    fs::create_symlink(victim, folder.handoffDir() / kGlowBitmapName);
    fs::create_symlink(victim, folder.handoffDir() / kBackgroundBitmapName);

    Process show = Process::start(folder.scr(), {"/s"}, xvfb, &folder);
    WaitForRunningShow(dpy);
    EXPECT_EQ(ReadWholeFile(victim), "not yours");
    EXPECT_FALSE(fs::is_symlink(folder.handoffDir() / kGlowBitmapName));
    EXPECT_TRUE(ReadWholeFile(folder.handoffDir() / kGlowBitmapName) ==
                ExpectedHandoffBitmap("glow.png"));
    EXPECT_TRUE(ReadWholeFile(folder.handoffDir() / kBackgroundBitmapName) ==
                ExpectedHandoffBitmap("earth.png"));
    SendCloseRequest(dpy, ShowWindow(dpy));
    EXPECT_EQ(show.waitExit(2s), 0);
    CloseRenderer(dpy);
}

// Without a renderer (a hand-off folder that cannot take the bitmaps makes the renderer give
// up; a renderer file that cannot be executed never starts) the show still runs its music and
// its pointer watch, and ends as usual.
// A hand-off folder that cannot be used sends the pictures through a one-shot private folder,
// which the renderer removes once it has read them; a renderer that cannot run ends the show
// at once instead of leaving an invisible one behind.
TEST(ShowE2E, AnUnusableHandoffFolderOrRendererNeverGivesABlankShow) {
    {
        Xvfb xvfb;
        Display* dpy = xvfb.display();
        ProgramFolder folder;
        const auto oneShotFolders = [] {
            int n = 0;
            const std::string prefix = "kovessa-" + std::to_string(getuid()) + "-";
            for (const fs::directory_entry& e : fs::directory_iterator("/tmp"))
                n += e.path().filename().string().starts_with(prefix) ? 1 : 0;
            return n;
        };
        const int before = oneShotFolders();
        Process::Env env{{"XDG_RUNTIME_DIR", (folder.handoffDir() / "missing").string()}};
        MovePointerTo(dpy, 500, 500);
        Process show = Process::start(folder.scr(), {"/s"}, xvfb, &folder, env);
        WaitForRunningShow(dpy);
        // The scene's middle shows the Earth, not a black screen with error boxes.
        EXPECT_TRUE(WaitUntil([&] { return PixelAt(dpy, 960, 540) != Rgb{}; }, 10s));
        EXPECT_TRUE(WaitUntil([&] { return oneShotFolders() == before; }, 10s));
        MovePointerBy(dpy, -40, -40);
        EXPECT_EQ(show.waitExit(2s), 0) << show.stdErr();
        CloseRenderer(dpy);
    }
    {
        Xvfb xvfb;
        ProgramFolder folder;
        fs::permissions(folder.renderer(), fs::perms::owner_read | fs::perms::group_read);
        Process show = Process::start(folder.scr(), {"/s"}, xvfb, &folder);
        EXPECT_EQ(show.waitExit(10s), 0) << show.stdErr();
        EXPECT_NE(show.stdErr().find("cannot start"), std::string::npos) << show.stdErr();
    }
}

TEST(ShowE2E, PointerIsHiddenOnlyForASwitchedShowAndComesBackAtTheEnd) {
    struct Case {
        std::vector<std::string> args;
        bool hidden;
    };
    for (const Case& c : {Case{{"/s"}, true}, Case{{}, false}}) {
        SCOPED_TRACE(c.hidden ? "/s" : "empty command line");
        FramebufferServer server(640, 480);
        Display* dpy = server.display();
        Xvfb unused(XvfbOptions{64, 64}); // the programs get the framebuffer server's DISPLAY
        ProgramFolder folder;
        // The renderer hides the pointer too; without it only the show program can.
        fs::permissions(folder.renderer(), fs::perms::owner_read | fs::perms::group_read);
        MovePointerTo(dpy, 300, 200);
        const auto visible = [&] { return server.PointerVisibleNear(298, 198); };
        ASSERT_TRUE(WaitUntil(visible, 3s));

        Process show = Process::start(folder.scr(), c.args, unused, &folder, server.Env());
        ASSERT_TRUE(WaitUntil([&] { return ShowWindow(dpy) != 0; }, 10s)) << show.stdErr();
        if (c.hidden) {
            EXPECT_TRUE(WaitUntil([&] { return !visible(); }, 3s));
        } else {
            std::this_thread::sleep_for(500ms);
            EXPECT_TRUE(visible());
        }
        SendCloseRequest(dpy, ShowWindow(dpy));
        EXPECT_EQ(show.waitExit(2s), 0) << show.stdErr();
        EXPECT_TRUE(WaitUntil(visible, 3s));
    }
}

class ShowMusicE2E : public ::testing::Test {
protected:
    // Runs a show with the given music, lets it play for `playFor`, ends it with the pointer
    // and returns the loud samples recorded while it ran and whether anything was recorded
    // after the end.
    struct Heard {
        size_t loud = 0;
        bool grewAfterEnd = false;
    };
    Heard play(int kind, const std::string& file, std::chrono::milliseconds playFor) {
        Xvfb xvfb;
        Display* dpy = xvfb.display();
        ProgramFolder folder;
        WriteMusicSettings(folder, kind, file);
        MovePointerTo(dpy, 600, 600);
        Process show = Process::start(folder.scr(), {"/s"}, xvfb, &folder, DiskAudio(recording()));
        EXPECT_TRUE(WaitUntil([&] { return ShowWindow(dpy) != 0; }, 10s));
        std::this_thread::sleep_for(playFor);
        // The renderer is not needed for the music; close it first so it cannot slow the show.
        CloseRenderer(dpy);
        MovePointerBy(dpy, 100, 100);
        EXPECT_EQ(show.waitExit(3s), 0) << show.stdErr();
        Heard heard;
        heard.loud = fs::exists(recording()) ? LoudSamples(recording()) : 0;
        const auto sizeAtEnd = fs::exists(recording()) ? fs::file_size(recording()) : 0;
        std::this_thread::sleep_for(300ms);
        heard.grewAfterEnd =
            (fs::exists(recording()) ? fs::file_size(recording()) : 0) != sizeAtEnd;
        return heard;
    }
    fs::path recording() const { return dir_.path() / "recording.raw"; }
    TempDir dir_;
};

TEST_F(ShowMusicE2E, Mp3InAnyCaseIsHeardAndStopsAtTheEnd) {
    Xvfb encoderDisplay(XvfbOptions{64, 64});
    WriteToneWav(dir_.path() / "tone.wav", 3.0);
    const fs::path mp3 = dir_.path() / "Tone.Mp3";
    if (!EncodeMp3(dir_.path() / "tone.wav", mp3, encoderDisplay))
        GTEST_SKIP() << "lame is not installed";
    const Heard heard = play(2, mp3.string(), 1500ms);
    // About a second of a loud tone at 44.1 kHz, whatever the channel count.
    EXPECT_GT(heard.loud, 30000u);
    EXPECT_FALSE(heard.grewAfterEnd);
}

TEST_F(ShowMusicE2E, WavLoopsUntilTheEnd) {
    // A fifth of a second of sound, played for two seconds: only looping fills the recording.
    WriteToneWav(dir_.path() / "short.WAV", 0.2);
    const Heard heard = play(2, (dir_.path() / "short.WAV").string(), 2000ms);
    EXPECT_GT(heard.loud, 3u * 8820u);
    EXPECT_FALSE(heard.grewAfterEnd);
}

TEST_F(ShowMusicE2E, OtherExtensionsAndAMissingDiscStaySilent) {
    WriteToneWav(dir_.path() / "tone.mid", 1.0);
    WriteToneWav(dir_.path() / "tone", 1.0);
    for (const auto& [kind, file] :
         {std::pair{2, (dir_.path() / "tone.mid").string()},
          std::pair{2, (dir_.path() / "tone").string()}, std::pair{1, std::string()}}) {
        SCOPED_TRACE("BGMKind " + std::to_string(kind) + " " + file);
        fs::remove(recording());
        EXPECT_EQ(play(kind, file, 800ms).loud, 0u);
    }
}

} // namespace
} // namespace kovessa::test
