// The Windows Kovessa.scr under Wine on a private X server: the show with its scene and music,
// its ends, the guard, the missing-renderer box, the preview inside a window of another
// program, the per-user folders, and bad input. Wine draws its windows as X windows, so the
// harness sees the screen, moves the pointer and presses keys as on Linux.
#include "common/window_titles.h"
#include "launcher/main_flow.h"
#include "tests/show/show_e2e_support.h"
#include "tests/windows/wine_scr_support.h"

// GoogleTest before Xlib: Xlib's macros clash with its names.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace kovessa::test {
namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

XvfbOptions Screen() {
    XvfbOptions options;
    options.width = kScreenWidth;
    options.height = kScreenHeight;
    return options;
}

// The scene is on screen: the Earth lights the middle, and glows shine somewhere around it.
bool SceneIsDrawn(Display* dpy) {
    return WaitUntil(
        [&] {
            return LitShare(dpy, kScreenWidth / 2, kScreenHeight / 2) > 0.9 &&
                   GlowPixels(dpy, 0, 0, kScreenWidth, kScreenHeight) > 0;
        },
        60s);
}

void WaitForRenderer(Display* dpy) {
    ASSERT_TRUE(WaitUntil([&] { return RendererWindow(dpy) != 0; }, 60s));
}

// What a Windows program printed, with its line ends as on Linux.
std::string LinesOf(const Process& process) {
    std::string out = process.StdOut();
    std::erase(out, '\r');
    return out;
}

// What the probe prints, read up to a line that ends it.
std::string WaitForOutput(const Process& process, const std::string& last) {
    std::string out;
    WaitUntil(
        [&] {
            out = LinesOf(process);
            return out.find(last) != std::string::npos;
        },
        30s);
    return out;
}

// At most this many samples a second can reach the recording, at 48 kHz in stereo.
constexpr size_t kMaxSamplesPerSecond = 48000 * 2;

TEST(ScrWineE2E, ShowDrawsPlaysRepeatingMp3AndEndsWithTheMusicOnTheDiagonalMove) {
    Xvfb xvfb(Screen());
    Display* dpy = xvfb.Connection();
    WineShowFolder folder;
    TempDir music;
    const fs::path wav = music.Path() / "tone.wav";
    const fs::path mp3 = music.Path() / "tone.mp3";
    WriteToneWav(wav, 0.5);
    ASSERT_TRUE(EncodeMp3(wav, mp3, xvfb));
    std::ofstream(folder.Ini(), std::ios::binary) << MusicSettingsText(2, WindowsPath(mp3));

    MovePointerTo(dpy, 500, 400);
    Process show = folder.StartScr({"/s"}, xvfb);
    WaitForRenderer(dpy);
    EXPECT_TRUE(SceneIsDrawn(dpy));
    SavePng(Capture(dpy, 0, 0, kScreenWidth, kScreenHeight), ArtifactDir() / "wine-show.png");

    // Heard, and then heard again: one pass of half a second cannot fill more than half a
    // second of samples, so more than that means the watch started it over.
    EXPECT_TRUE(WaitUntil([&] { return LoudSamples(folder.Recording()) > 0; }, 30s));
    EXPECT_TRUE(
        WaitUntil([&] { return LoudSamples(folder.Recording()) > kMaxSamplesPerSecond / 2; }, 30s))
        << LoudSamples(folder.Recording());

    // Straight along one axis is not enough; 31 pixels on both axes ends both programs.
    MovePointerBy(dpy, 200, 0);
    MovePointerBy(dpy, -200, 0);
    EXPECT_FALSE(show.WaitExit(500ms));
    MovePointerBy(dpy, 31, 31);
    EXPECT_EQ(show.WaitExit(10s), 0) << show.StdErr();
    EXPECT_TRUE(WaitUntil([&] { return RendererWindow(dpy) == 0; }, 10s));
    // The music stopped with the show: the recording grows no more.
    const uintmax_t ended = fs::file_size(folder.Recording());
    EXPECT_FALSE(WaitUntil([&] { return fs::file_size(folder.Recording()) > ended + 8192; }, 2s));
}

TEST(ScrWineE2E, EscEndsTheRendererAndTheShowAndASecondShowMeanwhileEndsSilently) {
    Xvfb xvfb(Screen());
    Display* dpy = xvfb.Connection();
    WineShowFolder folder;
    Process show = folder.StartScr({"/s"}, xvfb);
    WaitForRenderer(dpy);

    // The guard finds the running show's windows by their titles.
    Process second = folder.StartScr({"/s"}, xvfb);
    EXPECT_EQ(second.WaitExit(30s), 0);
    EXPECT_EQ(second.StdErr(), "");
    EXPECT_EQ(FindWindows(dpy, kRendererWindowTitle).size(), 1u);
    EXPECT_TRUE(show.Running());

    // No window manager gives the renderer the keyboard, so the test does. Wine takes the
    // focus over asynchronously, and a key that comes first goes elsewhere: Esc is pressed
    // again until the renderer's window is gone.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const Window renderer = RendererWindow(dpy);
            if (renderer == 0) {
                return true;
            }
            XSetInputFocus(dpy, renderer, RevertToParent, CurrentTime);
            XSync(dpy, False);
            TapKey(dpy, XK_Escape);
            return false;
        },
        10s));
    // The show ends with its picture.
    EXPECT_EQ(show.WaitExit(10s), 0) << show.StdErr();
}

TEST(ScrWineE2E, MissingRendererShowsTheBoxAndEndsWhenItIsClosed) {
    Xvfb xvfb(Screen());
    Display* dpy = xvfb.Connection();
    WineShowFolder folder;
    fs::remove(folder.Renderer());
    Process show = folder.StartScr({"/s"}, xvfb);
    ASSERT_TRUE(WaitUntil([&] { return !FindWindows(dpy, kProgramTitle).empty(); }, 30s));

    // Read from inside: the label, the one button, and no icon.
    Process probe = folder.StartWine(WindowProbe(), {"box", kProgramTitle}, xvfb);
    ASSERT_EQ(probe.WaitExit(30s), 0);
    const std::string box = LinesOf(probe);
    EXPECT_NE(box.find(std::string("text:") + kMissingRendererMessage + "\n"), std::string::npos)
        << box;
    EXPECT_NE(box.find("button:OK\n"), std::string::npos) << box;
    EXPECT_EQ(std::count(box.begin(), box.end(), '\n'), 2) << box;
    EXPECT_EQ(box.find("icon"), std::string::npos) << box;
    EXPECT_TRUE(show.Running());

    TapKey(dpy, XK_Return);
    EXPECT_EQ(show.WaitExit(10s), 0) << show.StdErr();
    EXPECT_TRUE(FindWindows(dpy, kProgramTitle).empty());
}

// Windows' display settings are another program, and under Wine nothing that GDI draws into a
// child window reaches the screen when the child's top-level window belongs to another
// process: Wine 8 gives such a child no surface of its own, and the top-level's surface lives
// in the other process. A minimal Win32 program showed it. A child that fills itself red in
// WM_PAINT shows red under a parent of its own process, made directly as WS_CHILD or
// reparented with SetParent (with WS_POPUP kept or not). Under a parent of another process it
// shows nothing at all, not even its background, whatever its styles and the parent's
// clipping, and also when it draws through GetDC on a timer. So the preview in another
// program's window is checked for its place and its end, and its picture is read off the
// screen in a window of its own process, set up by the same start steps.
TEST(ScrWineE2E, PreviewFillsTheWindowItIsGivenShowsThePictureAndEndsWithIt) {
    Xvfb xvfb(Screen());
    Display* dpy = xvfb.Connection();
    WineShowFolder folder;
    TempDir stop;
    const fs::path stopFile = stop.Path() / "stop";
    {
        SCOPED_TRACE("inside another program's window");
        Process host =
            folder.StartWine(WindowProbe(), {"host", "200", "150", WindowsPath(stopFile)}, xvfb);
        std::string handle;
        ASSERT_TRUE(WaitUntil(
            [&] {
                std::istringstream(LinesOf(host)) >> handle;
                return !handle.empty();
            },
            30s));

        Process preview = folder.StartScr({"/p", handle}, xvfb);
        EXPECT_NE(WaitForOutput(host, "end\n").find("child:Preview Window:0,0,200,150\n"),
                  std::string::npos)
            << LinesOf(host);
        EXPECT_TRUE(preview.Running());

        std::ofstream(stopFile) << "stop";
        EXPECT_EQ(host.WaitExit(10s), 0);
        EXPECT_EQ(preview.WaitExit(10s), 0) << preview.StdErr();
    }
    fs::remove(stopFile);
    {
        SCOPED_TRACE("inside a window of its own process");
        const QImage picture = AssetPicture("preview.png");
        Process preview =
            folder.StartWine(WindowProbe().parent_path() / "in_process_preview_host.exe",
                             {"200", "150", WindowsPath(stopFile)}, xvfb);
        Image shot;
        // The whole magenta host is covered: the picture in the corner, black beside it.
        const bool drawn = WaitUntil(
            [&] {
                const std::vector<unsigned long> hosts = FindWindows(dpy, "Preview Host");
                if (hosts.size() != 1) {
                    return false;
                }
                shot = CaptureWindow(dpy, hosts.front());
                return shot.width == 200 && shot.height == 150 &&
                       WrongPreviewPixels(shot, picture) == 0;
            },
            30s);
        EXPECT_TRUE(drawn) << WrongPreviewPixels(shot, picture) << " pixels differ";
        SavePng(shot, ArtifactDir() / "wine-preview.png");

        std::ofstream(stopFile) << "stop";
        EXPECT_EQ(preview.WaitExit(10s), 0) << preview.StdErr();
    }
}

// Takes write permission away from a folder or a file for as long as it lives.
class ReadOnly {
public:
    explicit ReadOnly(fs::path path)
        : path_(std::move(path)), was_(fs::status(path_).permissions()) {
        fs::permissions(path_,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    ~ReadOnly() { fs::permissions(path_, was_); }
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;

private:
    fs::path path_;
    fs::perms was_;
};

// Folder modes bind an ordinary user only, so this test runs the show as one: as root it makes
// a user with a prefix of its own.
TEST(ScrWineE2E, PerUserFoldersServeWhenTheWindowsAndProgramFoldersAreReadOnly) {
    XvfbOptions options = Screen();
    options.openToAllUsers = true;
    Xvfb xvfb(options);
    Display* dpy = xvfb.Connection();
    WineUser user(xvfb);
    ASSERT_TRUE(user.Available());
    WineShowFolder folder(&user);
    const fs::path wav = folder.Home() / "tone.wav";
    WriteToneWav(wav, 2.0);
    // An administrator's file beside the program says no music; the user's own says the WAV.
    user.WriteFile(folder.Ini(), MusicSettingsText(0, ""));
    const fs::path userSettings = user.Profile() / "AppData/Roaming/Kovessa";
    user.MakeFolder(userSettings);
    user.WriteFile(userSettings / "Kovessa.ini", MusicSettingsText(2, WindowsPath(wav)));
    const fs::path handoff = user.Profile() / "AppData/Local/Kovessa";
    fs::remove_all(handoff);
    {
        ReadOnly windows(user.Prefix() / "drive_c/windows");
        ReadOnly program(folder.Dir());
        // The administrator's file is not the user's to change either.
        ReadOnly administrators(folder.Ini());

        MovePointerTo(dpy, 500, 400);
        Process show = folder.StartScr({"/s"}, xvfb);
        WaitForRenderer(dpy);
        EXPECT_TRUE(SceneIsDrawn(dpy));
        EXPECT_EQ(fs::file_size(handoff / "Zeruma1.bmp"), 54u + 64 * 64 * 3);
        EXPECT_EQ(fs::file_size(handoff / "Zeruma2.bmp"), 54u + 320 * 320 * 3);
        // The WAV is heard, so the settings came from the user's own file.
        EXPECT_TRUE(WaitUntil([&] { return LoudSamples(folder.Recording()) > 0; }, 30s));
        MovePointerBy(dpy, 40, 40);
        EXPECT_EQ(show.WaitExit(10s), 0) << show.StdErr();
        EXPECT_TRUE(WaitUntil([&] { return RendererWindow(dpy) == 0; }, 10s));
    }
    fs::remove_all(userSettings);
}

TEST(ScrWineE2E, BadInputGetsTheLinuxOutcomeNeverACrashOrAHang) {
    Xvfb xvfb(Screen());
    Display* dpy = xvfb.Connection();
    WineShowFolder folder;
    TempDir music;
    const fs::path notMusic = music.Path() / "notes.mp3";
    std::ofstream(notMusic) << "these are words, not music\n";
    std::string junk = "[Section\r\n\x8B\xE6=\xFF\xFE\r\n";
    junk += std::string(100000, 'x');
    junk += std::string("\r\n\0\0=2\r\n", 9);

    struct Case {
        const char* what;
        std::string settings;
    };
    for (const Case& c :
         {Case{"malformed settings", junk},
          Case{"a music file that is not music", MusicSettingsText(2, WindowsPath(notMusic))}}) {
        SCOPED_TRACE(c.what);
        std::ofstream(folder.Ini(), std::ios::binary | std::ios::trunc) << c.settings;
        MovePointerTo(dpy, 500, 400);
        Process show = folder.StartScr({"/s"}, xvfb);
        WaitForRenderer(dpy);
        EXPECT_TRUE(SceneIsDrawn(dpy));
        MovePointerBy(dpy, 40, 40);
        EXPECT_EQ(show.WaitExit(10s), 0) << show.StdErr();
        EXPECT_TRUE(WaitUntil([&] { return RendererWindow(dpy) == 0; }, 10s));
        // Silent: nothing that is not music was played.
        EXPECT_EQ(LoudSamples(folder.Recording()), 0u);
    }

    // A handle that is no window: nothing is shown and the process ends.
    Process preview = folder.StartScr({"/p", "12345"}, xvfb);
    EXPECT_EQ(preview.WaitExit(30s), 0) << preview.StdErr();
    EXPECT_TRUE(FindWindows(dpy, kPreviewWindowTitle).empty());
}

} // namespace
} // namespace kovessa::test
