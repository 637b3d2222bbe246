// kovessa-play: plays music the way the show does, for trying it on a desktop.
//   kovessa-play FILE.mp3 [SECONDS]
//   kovessa-play FILE.wav [SECONDS]
//   kovessa-play IMAGE.cue|/dev/srN [TRACK] [SECONDS]
// An MP3 file repeats, a WAV file loops, a disc plays whole (or TRACK over and over). It ends
// after SECONDS, or on Ctrl-C.

#include "common/problem_report.h"
#include "music/default_media_platform.h"
#include "music/zeruma_bgm.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t gStop = 0;

void OnSignal(int) {
    gStop = 1;
}

std::string Extension(const std::string& path) {
    std::string ext = path.size() >= 3 ? path.substr(path.size() - 3) : path;
    for (char& c : ext) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return ext;
}

} // namespace

int main(int argc, char** argv) {
    using namespace kovessa;
    ReportUnder("kovessa-play");
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s FILE.mp3|FILE.wav [SECONDS]\n"
                     "       %s IMAGE.cue|/dev/srN [TRACK] [SECONDS]\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    const std::string ext = Extension(path);
    const bool disc = ext == "CUE" || path.rfind("/dev/", 0) == 0;
    int next = 2;
    MusicSettings settings;
    settings.BGMFile = path;
    settings.BGMKind = disc ? kBgmKindCD : kBgmKindFile;
    if (disc && argc > next) {
        settings.BGMRepeat = static_cast<int16_t>(std::atoi(argv[next++]));
    }
    const double seconds = argc > next ? std::atof(argv[next]) : 0;

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::unique_ptr<MediaPlatform> platform = CreateMediaPlatform(disc ? path : std::string{});
    int32_t apiResult = 0;
    Zeruma_BGM bgm(settings, apiResult, *platform);

    if (disc) {
        bgm.OpenCD();
    } else if (ext == "WAV") {
        if (platform->WaveOutGetNumDevs() <= 0) {
            ReportProblem("no sound output device");
        }
        bgm.PlayWave();
    } else if (ext == "MP3") {
        bgm.PlayMP3();
    } else {
        ReportProblem(path + ": not an .mp3, .wav or .cue file");
        return 2;
    }

    // The show's timers: the CD watch every 200 ms, the MP3 watch every second.
    const auto start = std::chrono::steady_clock::now();
    auto nextFileTick = start + std::chrono::seconds(1);
    int16_t cdTimer = disc ? -1 : 0;
    while (!gStop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const auto now = std::chrono::steady_clock::now();
        if (cdTimer != 0) {
            bgm.CheckCD();
            cdTimer = bgm.CDReady;
            if (cdTimer == 0) {
                // The show would stay silent from here on; the player has nothing left to do.
                ReportProblem("the disc cannot be read (code " + std::to_string(apiResult) + ")");
                break;
            }
        }
        if (ext == "MP3" && now >= nextFileTick) {
            bgm.RepeatMP3();
            nextFileTick += std::chrono::seconds(1);
        }
        if (seconds > 0 && now - start >= std::chrono::duration<double>(seconds)) {
            break;
        }
    }

    if (disc) {
        bgm.CloseCD();
    } else if (ext == "WAV") {
        bgm.StopWave();
    } else {
        bgm.CloseMP3();
    }
    return 0;
}
