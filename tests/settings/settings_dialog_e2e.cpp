#include "tests/harness/harness.h"
#include "tests/show/show_e2e_support.h"

// GoogleTest before Xlib: Xlib's macros clash with its names.
#include <gtest/gtest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace kovessa::test {
namespace {

using namespace std::chrono_literals;

const std::string kKeyKind = "BGM\x8B\xE6\x95\xAA";
const std::string kKeyRepeat = "BGM\xD8\xCB\xDF\xB0\xC4";
const std::string kKeyFile = "BGM\xCC\xA7\xB2\xD9";

// The settings file as the dialog writes it.
std::string IniText(int kind, int repeat, const fs::path& file) {
    return "[Section]\r\n" + kKeyKind + "=" + std::to_string(kind) + "\r\n" + kKeyRepeat + "=" +
           std::to_string(repeat) + "\r\n" + kKeyFile + "=" + file.string() + "\r\n";
}

// Places inside the dialog's client area (the option rows sit in the music panel at 12, 28).
struct Spot {
    int x, y;
};
constexpr Spot kCdMark{12 + 20 + 6, 28 + 40 + 6};
constexpr Spot kNoneMark{12 + 20 + 6, 28 + 60 + 6};
constexpr Spot kFileMark{12 + 20 + 6, 28 + 80 + 6};
constexpr Spot kFileCaption{12 + 36 + 10, 28 + 80 + 6};
constexpr Spot kCombo{12 + 92 + 8, 28 + 36 + 10};
constexpr Spot kConfirm{320 + 36, 180 + 12};

class SettingsDialogE2E : public ::testing::Test {
protected:
    SettingsDialogE2E() {
        song_ = folder_.Dir() / "song.mp3";
        std::ofstream(song_, std::ios::binary) << "ID3";
        // No music, whole disc, and a file that exists, as a user might have left them.
        original_ = IniText(0, 0, song_);
        std::ofstream(folder_.Ini(), std::ios::binary) << original_;
    }

    // Starts the dialog and waits until it is on screen; false when it never shows.
    bool OpenDialog() {
        process_.emplace(Process::Start(folder_.Scr(), {"/c"}, xvfb_, &folder_));
        Display* dpy = xvfb_.Connection();
        const bool shown = WaitUntil(
            [&] {
                const auto windows = FindWindows(dpy, "<Kovessa>");
                for (unsigned long w : windows) {
                    if (IsWindowViewable(dpy, w)) {
                        window_ = w;
                        return true;
                    }
                }
                return false;
            },
            10s);
        if (!shown) {
            return false;
        }
        geometry_ = *WindowGeometry(dpy, window_);
        // The settings say no music: once that mark shows, the dialog has been painted.
        return WaitUntil([&] { return MarkChosen(kNoneMark); }, 5s);
    }

    void ClickAt(Spot spot, int button) {
        MovePointerTo(xvfb_.Connection(), geometry_.x + spot.x, geometry_.y + spot.y);
        ClickButton(xvfb_.Connection(), button);
    }

    // The chosen mark has a bright dot in its middle; a mark not chosen is dark there.
    bool MarkChosen(Spot mark) {
        const Rgb centre =
            PixelAt(xvfb_.Connection(), geometry_.x + mark.x - 1, geometry_.y + mark.y - 1);
        return centre.r > 200 && centre.g > 180;
    }

    // Starts a switched show whose sound goes into `recording` through SDL's disk driver and
    // waits until the renderer's window exists. The show reads the pointer's start point
    // right after starting the renderer and its music; callers that chose music wait for the
    // sound, which comes after that, before they move the pointer.
    Process StartShow(const fs::path& recording) {
        MovePointerTo(xvfb_.Connection(), 600, 600);
        Process show = Process::Start(folder_.Scr(), {"/s"}, xvfb_, &folder_, DiskAudio(recording));
        EXPECT_TRUE(WaitUntil([&] { return RendererWindow(xvfb_.Connection()) != 0; }, 10s))
            << show.StdErr();
        return show;
    }

    // Ends a show the way a user does, 31 pixels right and down, and returns its exit code; the
    // renderer, which ends by its own rule, is closed so the next show starts on a clean screen.
    std::optional<int> EndShow(Process& show) {
        MovePointerBy(xvfb_.Connection(), 31, 31);
        const std::optional<int> code = show.WaitExit(3s);
        CloseRenderer(xvfb_.Connection());
        EXPECT_EQ(RendererWindow(xvfb_.Connection()), 0u);
        return code;
    }

    Xvfb xvfb_;
    ProgramFolder folder_;
    fs::path song_;
    std::string original_;
    std::optional<Process> process_;
    unsigned long window_ = 0;
    Geometry geometry_;
};

TEST_F(SettingsDialogE2E, ChoosingCdWithATrackAndConfirmingStoresIt) {
    ASSERT_TRUE(OpenDialog()) << process_->StdErr();
    EXPECT_EQ(geometry_.width, 481);
    EXPECT_EQ(geometry_.height, 231);
    // Centred across, a third of the free height down.
    EXPECT_EQ(geometry_.x, (xvfb_.Width() - 481) / 2);
    EXPECT_EQ(geometry_.y, (xvfb_.Height() - 231) / 3);
    EXPECT_FALSE(MarkChosen(kFileMark));

    // The right button on the caption chooses the file option.
    ClickAt(kFileCaption, 3);
    EXPECT_TRUE(WaitUntil([&] { return MarkChosen(kFileMark); }, 3s));
    EXPECT_FALSE(MarkChosen(kCdMark));

    ClickAt(kCdMark, 1);
    EXPECT_TRUE(WaitUntil([&] { return MarkChosen(kCdMark) && !MarkChosen(kFileMark); }, 3s));

    // The X server delivers the click, the key and the next click in order, so the combo has
    // the focus when the key arrives and the text when the confirm click arrives.
    ClickAt(kCombo, 1);
    TapKey(xvfb_.Connection(), XK_7);

    if (const char* dir = std::getenv("KOVESSA_SCREENSHOT_DIR")) {
        WaitUntil([] { return false; }, 300ms); // a picture for people, after the repaint
        SavePng(Capture(xvfb_.Connection(), geometry_.x, geometry_.y, 481, 231),
                fs::path(dir) / "dialog.png");
    }

    ClickAt(kConfirm, 1);
    const auto code = process_->WaitExit(10s);
    ASSERT_TRUE(code.has_value()) << "the dialog did not close";
    EXPECT_EQ(*code, 0);

    EXPECT_EQ(ReadWholeFile(folder_.Ini()), IniText(1, 7, song_));
}

TEST_F(SettingsDialogE2E, ClosingTheWindowWritesNothing) {
    ASSERT_TRUE(OpenDialog()) << process_->StdErr();
    ClickAt(kCdMark, 1);
    EXPECT_TRUE(WaitUntil([&] { return MarkChosen(kCdMark); }, 3s));
    SendCloseRequest(xvfb_.Connection(), window_);
    const auto code = process_->WaitExit(10s);
    ASSERT_TRUE(code.has_value()) << "the dialog did not close";
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(ReadWholeFile(folder_.Ini()), original_);
}

// What the dialog stores is what the next show plays: choosing the file option turns a silent
// show into one that plays the file, and the same file with no music chosen stays silent.
TEST_F(SettingsDialogE2E, TheFileChosenInTheDialogIsWhatTheNextShowPlays) {
    TempDir temp;
    const fs::path music = temp.Path() / "my music";
    fs::create_directory(music);
    WriteToneWav(music / "tone.wav", 2.0);
    const fs::path mp3 = music / "tone.mp3";
    if (!EncodeMp3(music / "tone.wav", mp3, xvfb_)) {
        GTEST_SKIP() << "lame is not installed";
    }
    std::ofstream(folder_.Ini(), std::ios::binary | std::ios::trunc) << IniText(0, 0, mp3);

    ASSERT_TRUE(OpenDialog()) << process_->StdErr();
    ClickAt(kFileCaption, 3);
    ASSERT_TRUE(WaitUntil([&] { return MarkChosen(kFileMark); }, 3s));
    ClickAt(kConfirm, 1);
    const auto code = process_->WaitExit(10s);
    ASSERT_TRUE(code.has_value()) << "the dialog did not close";
    EXPECT_EQ(*code, 0);
    ASSERT_EQ(ReadWholeFile(folder_.Ini()), IniText(2, 0, mp3));

    // A tenth of a second of the tone, whatever the channel count, is enough to tell.
    const fs::path played = temp.Path() / "played.raw";
    const auto started = std::chrono::steady_clock::now();
    Process show = StartShow(played);
    EXPECT_TRUE(WaitUntil([&] { return LoudSamples(played) > 8820; }, 5s))
        << "loud samples: " << LoudSamples(played);
    const auto heardAfter = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    EXPECT_EQ(EndShow(show), 0) << show.StdErr();

    // With no music chosen, the same show, listened to for twice as long as the tone took to
    // be heard above, must record nothing loud.
    std::ofstream(folder_.Ini(), std::ios::binary | std::ios::trunc) << IniText(0, 0, mp3);
    const fs::path silent = temp.Path() / "silent.raw";
    const auto quietStarted = std::chrono::steady_clock::now();
    Process quiet = StartShow(silent);
    const auto listened = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - quietStarted);
    EXPECT_FALSE(
        WaitUntil([&] { return LoudSamples(silent) > 0; },
                  std::max(2 * heardAfter + 200ms - listened, std::chrono::milliseconds(300))));
    EXPECT_EQ(EndShow(quiet), 0) << quiet.StdErr();
}

} // namespace
} // namespace kovessa::test
