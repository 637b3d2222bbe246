// The music module on the real decoders, a BIN/CUE disc image and the SDL audio output, with
// media made by sox and lame in a temporary folder.

#include "music/decoder_media_library.h"
#include "music/default_media_platform.h"
#include "music/mci_media_platform.h"
#include "music/sdl_audio_output.h"
#include "music/zeruma_bgm.h"
#include "test_media.h"
#include "tests/music/recording_audio_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

namespace kovessa {
namespace {

using namespace std::chrono_literals;
using test::Analyze;
using test::TempDir;

constexpr int kRate = 44100;
constexpr size_t kTickFrames = kRate / 5; // the CD watch's 200 ms, in frames
constexpr double kToneRms = 0.5 * 32767 / 1.41421356;

bool HaveMediaTools() {
    return test::HaveTool("sox") && test::HaveTool("lame");
}

// The module with the real decoders and a recording output that the test pulls at its pace.
struct RecordedMusic {
    explicit RecordedMusic(const std::string& cdSource = "/nonexistent/disc.cue", int devices = 1)
        : output({kRate, 2}, devices), library(cdSource), platform(library, output) {}

    // Plays `seconds` of the show, running the CD watch every 200 ms while it is enabled.
    void RunCd(double seconds) {
        for (size_t done = 0; done < seconds * kRate; done += kTickFrames) {
            if (cdTimer) {
                bgm.CheckCD();
                cdTimer = bgm.CDReady != 0;
            }
            output.PumpFrames(kTickFrames, 50ms);
        }
    }

    RecordingAudioOutput output;
    DecoderMediaLibrary library;
    MciMediaPlatform platform;
    MusicSettings settings;
    int32_t apiResult = 0;
    Zeruma_BGM bgm{settings, apiResult, platform};
    bool cdTimer = true;
};

// Which of `tones` each tenth of a second of a recording holds (-1: none of them).
std::vector<int> ToneSequence(const std::vector<int16_t>& pcm, const std::vector<double>& tones) {
    std::vector<int> out;
    const size_t window = kRate / 10;
    for (size_t f = 0; f + window <= pcm.size() / 2; f += window) {
        const test::Tone t = Analyze(pcm, f, window, kRate);
        int which = -1;
        for (size_t i = 0; i < tones.size(); ++i) {
            if (std::abs(t.hz - tones[i]) < tones[i] * 0.05 && t.rms > kToneRms * 0.8) {
                which = static_cast<int>(i);
            }
        }
        out.push_back(which);
    }
    return out;
}

// The runs of a sequence: value and length, in order.
std::vector<std::pair<int, int>> Runs(const std::vector<int>& seq) {
    std::vector<std::pair<int, int>> runs;
    for (int v : seq) {
        if (runs.empty() || runs.back().first != v) {
            runs.emplace_back(v, 0);
        }
        ++runs.back().second;
    }
    return runs;
}

TEST(MusicOnDisc, WholeDiscPlaysAndStartsOverWhenItStops) {
    TempDir dir;
    const std::vector<double> tones = {440, 660, 990};
    RecordedMusic music(test::MakeDiscImage(dir.Path(), "disc", tones, 2.0));
    music.settings.BGMKind = 1;
    music.bgm.OpenCD();
    music.RunCd(7.5);
    EXPECT_TRUE(music.cdTimer);
    const auto runs = Runs(ToneSequence(music.output.TakeRecording(), tones));
    // Two seconds of each track (a window may straddle a track change), then track 1 again.
    ASSERT_GE(runs.size(), 4u);
    EXPECT_EQ(runs[0].first, 0);
    EXPECT_EQ(runs[1].first, 1);
    EXPECT_EQ(runs[2].first, 2);
    EXPECT_EQ(runs[3].first, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(runs[i].second, 19) << "track " << i + 1;
        EXPECT_LE(runs[i].second, 20) << "track " << i + 1;
    }
    music.bgm.CloseCD();
}

TEST(MusicOnDisc, ChosenTrackKeepsRepeating) {
    TempDir dir;
    const std::vector<double> tones = {440, 660, 990};
    RecordedMusic music(test::MakeDiscImage(dir.Path(), "disc", tones, 2.0));
    music.settings.BGMRepeat = 2;
    music.bgm.OpenCD();
    music.RunCd(7.0);
    const std::vector<int> seq = ToneSequence(music.output.TakeRecording(), tones);
    int track2 = 0;
    for (int v : seq) {
        EXPECT_NE(v, 0) << "track 1 must never sound";
        track2 += v == 1;
    }
    // At most one watch period of track 3 can sound before the jump back.
    for (const auto& [tone, length] : Runs(seq)) {
        if (tone == 2) {
            EXPECT_LE(length, 2);
        }
    }
    EXPECT_GE(track2, 65);
}

TEST(MusicOnDisc, WholeDiscSoundsOnlyItsAudioTracks) {
    TempDir dir;
    // Data first (a mixed-mode disc), between the songs, and last (an enhanced disc).
    const std::vector<double> tones = {0, 440, 0, 660, 0};
    RecordedMusic music(test::MakeDiscImage(dir.Path(), "mixed", tones, 2.0));
    music.bgm.OpenCD();
    music.RunCd(9.0);
    EXPECT_TRUE(music.cdTimer);
    const auto runs = Runs(ToneSequence(music.output.TakeRecording(), tones));
    // 440, 660, 440, 660, with at most one window straddling a change and never the noise of
    // a data track in between.
    std::vector<int> songs;
    for (const auto& [tone, length] : runs) {
        if (tone == -1) {
            EXPECT_LE(length, 1) << "a data track sounded";
        } else {
            songs.push_back(tone);
        }
    }
    ASSERT_GE(songs.size(), 4u);
    EXPECT_EQ(std::vector<int>(songs.begin(), songs.begin() + 4), (std::vector<int>{1, 3, 1, 3}));
}

TEST(MusicOnDisc, ChosenDataTrackPlaysNothingAndEndsTheWatch) {
    TempDir dir;
    RecordedMusic music(test::MakeDiscImage(dir.Path(), "disc", {440, 0, 660}, 2.0));
    music.settings.BGMRepeat = 2;
    music.bgm.OpenCD();
    music.RunCd(1.0);
    EXPECT_FALSE(music.cdTimer);
    EXPECT_EQ(music.output.RecordedFrames(), 0u);
}

TEST(MusicOnDisc, TrackBeyondTheDiscLeavesTheWatchRunningAndSilent) {
    TempDir dir;
    RecordedMusic music(test::MakeDiscImage(dir.Path(), "disc", {440, 660, 990}, 2.0));
    music.settings.BGMRepeat = 5;
    music.bgm.OpenCD();
    music.RunCd(1.0);
    EXPECT_TRUE(music.cdTimer);
    EXPECT_EQ(music.bgm.CDReady, -1);
    EXPECT_NE(music.apiResult, 0) << "the play from an error text fails";
    EXPECT_EQ(music.output.RecordedFrames(), 0u);
}

TEST(MusicOnDisc, NoDiscEndsTheWatchAtTheFirstTick) {
    RecordedMusic music("/nonexistent/disc.cue");
    music.bgm.OpenCD();
    music.bgm.CheckCD();
    EXPECT_EQ(music.bgm.CDReady, 0);
}

TEST(MusicFiles, Mp3PathsWithBlanksJapaneseAndQuotesPlayThatFile) {
    if (!HaveMediaTools()) {
        GTEST_SKIP() << "sox and lame are needed to make test media";
    }
    TempDir dir;
    const std::string folder = dir.File("曲 フォルダ");
    std::filesystem::create_directory(folder);
    for (const std::string name : {"ほたる の 歌.mp3", "say \"hi\" there.mp3", "x\" alias y.mp3"}) {
        SCOPED_TRACE(name);
        const std::string path = folder + "/" + name;
        ASSERT_TRUE(test::MakeMp3Tone(path, 0.5, 550, 0.5));
        RecordedMusic music;
        music.settings.BGMFile = path;
        music.bgm.PlayMP3();
        EXPECT_TRUE(music.bgm.IsMP3Playing());
        music.output.PumpFrames(kRate, 100ms);
        const std::vector<int16_t> pcm = music.output.TakeRecording();
        const size_t start = test::FirstSoundFrame(pcm);
        const test::Tone tone = Analyze(pcm, start + 2000, kRate / 4, kRate);
        EXPECT_NEAR(tone.hz, 550, 550 * 0.05);
        EXPECT_NEAR(tone.rms, kToneRms, kToneRms * 0.1);
        EXPECT_FALSE(music.bgm.IsMP3Playing());
        music.bgm.CloseMP3();
    }
}

TEST(MusicFiles, AFileNamedMp3ThatIsNotMp3IsSilenceWithHarmlessPolling) {
    TempDir dir;
    std::mt19937 random(7);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    std::string text;
    for (int i = 0; i < 500; ++i) {
        text += "This is a letter, not a song.\n";
    }
    test::WriteFile(dir.File("noise.mp3"), noise);
    test::WriteFile(dir.File("letter.mp3"), text);
    test::WriteFile(dir.File("empty.mp3"), "");
    test::WriteWav(dir.File("wave.mp3"), test::StereoSine(1.0, 440, 0.5), kRate, 2);
    std::filesystem::create_directory(dir.File("folder.mp3"));
    for (const char* name :
         {"noise.mp3", "letter.mp3", "empty.mp3", "wave.mp3", "folder.mp3", "missing.mp3"}) {
        SCOPED_TRACE(name);
        RecordedMusic music;
        music.settings.BGMFile = dir.File(name);
        music.bgm.PlayMP3();
        EXPECT_EQ(music.output.StreamCount(), 0u);
        for (int tick = 0; tick < 5; ++tick) {
            music.bgm.RepeatMP3();
        }
        EXPECT_EQ(music.output.Pump(1000), 0u);
        EXPECT_FALSE(music.bgm.IsMP3Playing());
        music.bgm.CloseMP3();
    }
}

TEST(MusicFiles, WaveLoopsSeamlesslyUntilStopped) {
    TempDir dir;
    // Every frame of the file is different, so any gap or overlap at the loop shows.
    std::vector<int16_t> ramp(2 * 5000);
    for (size_t f = 0; f < 5000; ++f) {
        ramp[2 * f] = static_cast<int16_t>(f * 3 + 1);
        ramp[2 * f + 1] = static_cast<int16_t>(-static_cast<int>(f));
    }
    const std::string path = dir.File("loop me.WAV");
    test::WriteWav(path, ramp, kRate, 2);
    RecordedMusic music;
    music.settings.BGMFile = path;
    music.bgm.PlayWave();
    music.output.PumpFrames(5000 * 3 + 1234);
    const std::vector<int16_t> pcm = music.output.TakeRecording();
    ASSERT_EQ(pcm.size(), 2u * (5000 * 3 + 1234));
    for (size_t i = 0; i < pcm.size(); ++i) {
        ASSERT_EQ(pcm[i], ramp[i % ramp.size()]) << "sample " << i;
    }
    music.bgm.StopWave();
    EXPECT_EQ(music.output.StreamCount(), 0u);
    EXPECT_EQ(music.output.Pump(100), 0u);
}

TEST(MusicFiles, WaveWithoutAnOutputDeviceDoesNothing) {
    TempDir dir;
    test::WriteWav(dir.File("a.wav"), test::StereoSine(0.2, 440, 0.5), kRate, 2);
    RecordedMusic music("", 0);
    music.settings.BGMFile = dir.File("a.wav");
    music.bgm.PlayWave();
    EXPECT_EQ(music.output.StreamCount(), 0u);
}

// Polls `condition` until it holds or the time is up.
bool WaitUntilTrue(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// The real output: SDL's disk driver writes what the device played, in real time.
class SdlDiskOutput : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", dir_.File("out.raw").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }
    std::vector<int16_t> Played() {
        std::ifstream in(dir_.File("out.raw"), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<int16_t> pcm(bytes.size() / 2);
        std::memcpy(pcm.data(), bytes.data(), pcm.size() * 2);
        return pcm;
    }
    TempDir dir_;
};

// A stream at 1 Hz that counts what the output asks of it.
class SlowStream final : public OutputStream {
public:
    PcmFormat StreamFormat() const override { return {1, 2}; }
    size_t Pull(int16_t* out, size_t frames) override {
        std::fill_n(out, frames * 2, int16_t{1000});
        std::lock_guard lock(mutex_);
        largest_ = std::max(largest_, frames);
        total_ += frames;
        return frames;
    }
    size_t Largest() const {
        std::lock_guard lock(mutex_);
        return largest_;
    }
    size_t Total() const {
        std::lock_guard lock(mutex_);
        return total_;
    }

private:
    mutable std::mutex mutex_;
    size_t largest_ = 0;
    size_t total_ = 0;
};

// The peak resident memory of this process so far, in KiB.
long PeakKiB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

TEST_F(SdlDiskOutput, AVerySlowRateIsConvertedInSmallPieces) {
    // Each frame at 1 Hz is a second at the device's rate; converted in the converter's own
    // batches of 1024 frames it would take hundreds of megabytes.
    const long peakBefore = PeakKiB();
    SdlAudioOutput output;
    SlowStream stream;
    ASSERT_TRUE(output.AddStream(&stream));
    EXPECT_TRUE(WaitUntilTrue([&] { return stream.Total() >= 2; }, 10s));
    output.RemoveStream(&stream);
    EXPECT_LT(PeakKiB() - peakBefore, 32 * 1024);
    EXPECT_EQ(stream.Largest(), 1u) << "one frame is all a device buffer needs";
}

TEST_F(SdlDiskOutput, Mp3IsHeardRepeatsFromTheStartAndStopsOnClose) {
    if (!HaveMediaTools()) {
        GTEST_SKIP() << "sox and lame are needed to make test media";
    }
    const std::string path = dir_.File("tone.mp3");
    ASSERT_TRUE(test::MakeMp3Tone(path, 0.6, 440, 0.5, 48000)); // resampled by the output
    {
        std::unique_ptr<MediaPlatform> platform = CreateMediaPlatform({});
        ASSERT_GT(platform->WaveOutGetNumDevs(), 0);
        MusicSettings settings;
        settings.BGMFile = path;
        int32_t apiResult = 0;
        Zeruma_BGM bgm(settings, apiResult, *platform);
        // The device writes in real time, so the recording's length is the time it played.
        const auto recorded = [&] {
            std::error_code ec;
            const auto bytes = std::filesystem::file_size(dir_.File("out.raw"), ec);
            return ec ? 0 : static_cast<size_t>(bytes) / 4; // frames
        };
        const auto playOn = [&](size_t frames) {
            const size_t until = recorded() + frames;
            return WaitUntilTrue([&] { return recorded() >= until; }, 5s);
        };
        bgm.PlayMP3();
        EXPECT_TRUE(bgm.IsMP3Playing());
        // The pass of 0.6 s ends by itself, then a gap before the file timer's tick.
        EXPECT_TRUE(WaitUntilTrue([&] { return !bgm.IsMP3Playing(); }, 5s));
        EXPECT_TRUE(playOn(kRate / 5));
        bgm.RepeatMP3();
        EXPECT_TRUE(bgm.IsMP3Playing());
        EXPECT_TRUE(playOn(kRate * 3 / 10));
        bgm.CloseMP3(); // in the middle of the second pass
        EXPECT_TRUE(playOn(kRate * 3 / 10));
    }
    const std::vector<int16_t> pcm = Played();
    ASSERT_GT(pcm.size(), 2u * kRate * 14 / 10);
    // Sound in 10 ms windows: a first pass of 0.6 s, a gap, a second pass cut short.
    std::vector<std::pair<int, int>> runs;
    const size_t window = kRate / 100;
    for (size_t f = 0; f + window <= pcm.size() / 2; f += window) {
        const int sound = Analyze(pcm, f, window, kRate).rms > 1000 ? 1 : 0;
        if (runs.empty() || runs.back().first != sound) {
            runs.emplace_back(sound, 0);
        }
        ++runs.back().second;
    }
    std::string shape;
    for (const auto& [sound, length] : runs) {
        shape += (sound ? " sound " : " quiet ") + std::to_string(length);
    }
    SCOPED_TRACE("10 ms windows:" + shape);
    size_t first = 0; // the delay to the first sound, if the first window is not already sound
    if (!runs.empty() && runs[0].first == 0) {
        EXPECT_LE(runs[0].second, 10) << "the first sound comes within 100 ms";
        first = static_cast<size_t>(runs[0].second) * window;
        runs.erase(runs.begin());
    }
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_NEAR(runs[0].second, 60, 3);
    EXPECT_EQ(runs[1].first, 0);
    EXPECT_NEAR(runs[2].second, 30, 8);
    EXPECT_GE(runs[3].second, 20) << "silence after the close";
    const test::Tone tone = Analyze(pcm, first + 1000, kRate / 2, kRate);
    EXPECT_NEAR(tone.hz, 440, 440 * 0.05);
    EXPECT_NEAR(tone.rms, kToneRms, kToneRms * 0.1);
}

} // namespace
} // namespace kovessa
