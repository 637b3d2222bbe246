// Figures for the music module, printed (not a test): CPU time per second of MP3 and of CD
// playback, the delay from PlayMP3 to the first sound handed to the device, and the memory held
// while playing, also for a WAV at 1 Hz, whose conversion to the device's rate once held
// hundreds of megabytes. Uses SDL's dummy driver (real-time, sound discarded) unless
// SDL_AUDIODRIVER is set; the delay is measured on the disk driver, whose file shows when sound
// reached the device.
//   build/bench/kovessa-music-bench [SECONDS_PER_MEASUREMENT]

#include "music/default_media_platform.h"
#include "music/zeruma_bgm.h"
#include "tests/music/test_media.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace kovessa;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A "Vm...:" figure of /proc/self/status in KiB: VmRSS now, VmHWM the peak so far.
long StatusKiB(const std::string& key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + ":", 0) == 0) {
            return std::atol(line.c_str() + key.size() + 1);
        }
    }
    return -1;
}

long RssKiB() {
    return StatusKiB("VmRSS");
}

// Runs `seconds` of the show's timers and returns the CPU share of one core it took.
double MeasureCpu(Zeruma_BGM& bgm, bool cd, double seconds) {
    const double cpu0 = CpuSeconds();
    const auto start = Clock::now();
    auto next = start;
    while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
        next += 200ms;
        std::this_thread::sleep_until(next);
        if (cd) {
            bgm.CheckCD();
        } else if ((next - start) % 1000ms < 200ms) {
            bgm.RepeatMP3();
        }
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return (CpuSeconds() - cpu0) / wall * 100;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10;
    setenv("SDL_AUDIODRIVER",
           std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "dummy", 1);
    test::TempDir dir;
    const std::string mp3 = dir.File("song.mp3");
    if (!test::MakeMp3Tone(mp3, 60, 440, 0.5)) {
        std::fprintf(stderr, "sox and lame are needed\n");
        return 1;
    }
    const std::string cue = test::MakeDiscImage(dir.Path(), "disc", {440, 660, 990}, 20);
    const long rss0 = RssKiB();

    {
        // Ten minutes of sound in 600 frames: each frame becomes a second at the device's rate.
        const std::string wav = dir.File("slow.wav");
        test::WriteWav(wav, std::vector<int16_t>(2 * 600, 8000), 1, 2);
        auto platform = CreateMediaPlatform({});
        MusicSettings settings;
        settings.BGMFile = wav;
        int32_t api = 0;
        Zeruma_BGM bgm(settings, api, *platform);
        bgm.PlayWave();
        std::this_thread::sleep_for(std::chrono::duration<double>(std::min(seconds, 5.0)));
        std::printf("WAV at 1 Hz (converted to 44.1 kHz in pieces): RSS %ld KiB (+%ld), peak so "
                    "far %ld KiB\n",
                    RssKiB(), RssKiB() - rss0, StatusKiB("VmHWM"));
        bgm.StopWave();
    }

    {
        auto platform = CreateMediaPlatform({});
        MusicSettings settings;
        settings.BGMFile = mp3;
        int32_t api = 0;
        Zeruma_BGM bgm(settings, api, *platform);
        bgm.PlayMP3();
        std::this_thread::sleep_for(500ms);
        const double cpu = MeasureCpu(bgm, false, seconds);
        std::printf("MP3 (128 kbps, 44.1 kHz stereo): %.2f %% of one core, RSS +%ld KiB\n", cpu,
                    RssKiB() - rss0);
        bgm.CloseMP3();
    }
    {
        auto platform = CreateMediaPlatform(cue);
        MusicSettings settings;
        settings.BGMKind = kBgmKindCD;
        int32_t api = 0;
        Zeruma_BGM bgm(settings, api, *platform);
        bgm.OpenCD();
        bgm.CheckCD();
        std::this_thread::sleep_for(500ms);
        const double cpu = MeasureCpu(bgm, true, seconds);
        std::printf("CD image through paranoia, watch every 200 ms: %.2f %% of one core, RSS +%ld "
                    "KiB\n",
                    cpu, RssKiB() - rss0);
        bgm.CloseCD();
    }

    {
        // The file watch over a file that cannot be played: the show's MP3 timer keeps calling
        // RepeatMP3 once a second for the whole show, and each call must stay cheap.
        const std::string text = dir.File("letter.mp3");
        std::ofstream(text) << std::string(15000, 'x');
        auto platform = CreateMediaPlatform({});
        MusicSettings settings;
        settings.BGMFile = text;
        int32_t api = 0;
        Zeruma_BGM bgm(settings, api, *platform);
        bgm.PlayMP3();
        std::vector<double> ticks;
        for (int tick = 0; tick < 21; ++tick) {
            const auto t0 = Clock::now();
            bgm.RepeatMP3();
            ticks.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        }
        std::sort(ticks.begin(), ticks.end());
        std::printf("RepeatMP3 over a file that cannot be played (21 ticks): median %.1f us, "
                    "max %.1f us\n",
                    ticks[ticks.size() / 2], ticks.back());
        bgm.CloseMP3();
    }

    // Delay: from PlayMP3 until a sound sample reaches the device (the disk driver writes each
    // device buffer as it is played), on a fresh output each time as at the start of a show.
    std::vector<double> delays;
    for (int run = 0; run < 7; ++run) {
        const std::string raw = dir.File("out" + std::to_string(run) + ".raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
        auto platform = CreateMediaPlatform({});
        MusicSettings settings;
        settings.BGMFile = mp3;
        int32_t api = 0;
        Zeruma_BGM bgm(settings, api, *platform);
        const auto t0 = Clock::now();
        bgm.PlayMP3();
        double delay = -1;
        while (Clock::now() - t0 < 2s && delay < 0) {
            std::ifstream in(raw, std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
            for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
                if (std::abs(int16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8))) > 64) {
                    delay = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
                    break;
                }
            }
            std::this_thread::sleep_for(1ms);
        }
        delays.push_back(delay);
        bgm.CloseMP3();
    }
    std::sort(delays.begin(), delays.end());
    std::printf("PlayMP3 to first sound at the device (7 runs): median %.1f ms, max %.1f ms "
                "(plus the device's 1024-frame buffer, 23 ms, on a real card)\n",
                delays[delays.size() / 2], delays.back());
    return 0;
}
