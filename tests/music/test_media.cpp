#include "test_media.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace kovessa::test {

int RunTool(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

bool HaveTool(const std::string& name) {
    for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
        if (std::filesystem::exists(std::string(dir) + name)) {
            return true;
        }
    }
    return false;
}

bool MakeMp3Tone(const std::string& path, double seconds, double hz, double amplitude, int rate) {
    const std::string wav = path + ".src.wav";
    const bool ok = RunTool({"sox", "-q", "-n", "-r", std::to_string(rate), "-c", "2", "-b", "16",
                             wav, "synth", std::to_string(seconds), "sine", std::to_string(hz),
                             "vol", std::to_string(amplitude)}) == 0 &&
                    RunTool({"lame", "--quiet", "-b", "128", wav, path}) == 0;
    std::filesystem::remove(wav);
    return ok;
}

namespace {
void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s.push_back(static_cast<char>(v >> (8 * i)));
    }
}
void Put16(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v));
    s.push_back(static_cast<char>(v >> 8));
}
std::string LittleEndian(const std::vector<int16_t>& samples) {
    std::string out;
    out.reserve(samples.size() * 2);
    for (int16_t v : samples) {
        Put16(out, static_cast<uint16_t>(v));
    }
    return out;
}
} // namespace

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int rate,
              int channels) {
    const std::string data = LittleEndian(samples);
    std::string h = "RIFF";
    Put32(h, static_cast<uint32_t>(36 + data.size()));
    h += "WAVEfmt ";
    Put32(h, 16);
    Put16(h, 1);
    Put16(h, static_cast<uint16_t>(channels));
    Put32(h, static_cast<uint32_t>(rate));
    Put32(h, static_cast<uint32_t>(rate * channels * 2));
    Put16(h, static_cast<uint16_t>(channels * 2));
    Put16(h, 16);
    h += "data";
    Put32(h, static_cast<uint32_t>(data.size()));
    WriteFile(path, h + data);
    return true;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<int16_t> StereoSine(double seconds, double hz, double amplitude) {
    const auto frames = static_cast<size_t>(seconds * 44100);
    std::vector<int16_t> out(frames * 2);
    for (size_t f = 0; f < frames; ++f) {
        const double v = amplitude * 32767 * std::sin(2 * M_PI * hz * f / 44100.0);
        out[2 * f] = out[2 * f + 1] = static_cast<int16_t>(std::lround(v));
    }
    return out;
}

std::string MakeDiscImage(const std::string& folder, const std::string& name,
                          const std::vector<double>& toneHz, double seconds) {
    std::string bin;
    std::string cue = "FILE \"" + name + ".bin\" BINARY\n";
    const int sectors = static_cast<int>(seconds * 75);
    int start = 0;
    for (size_t t = 0; t < toneHz.size(); ++t) {
        const bool data = toneHz[t] == 0;
        char line[128];
        std::snprintf(line, sizeof line, "  TRACK %02zu %s\n    INDEX 01 %02d:%02d:%02d\n", t + 1,
                      data ? "MODE1/2352" : "AUDIO", start / 75 / 60, start / 75 % 60, start % 75);
        cue += line;
        std::vector<int16_t> pcm = StereoSine(sectors / 75.0, toneHz[t], 0.5);
        pcm.resize(static_cast<size_t>(sectors) * 588 * 2, 0);
        if (data) {
            std::minstd_rand noise(7);
            for (int16_t& v : pcm) {
                v = static_cast<int16_t>(noise() % 60000 - 30000);
            }
        }
        bin += LittleEndian(pcm);
        start += sectors;
    }
    WriteFile(folder + "/" + name + ".bin", bin);
    WriteFile(folder + "/" + name + ".cue", cue);
    return folder + "/" + name + ".cue";
}

Tone Analyze(const std::vector<int16_t>& stereo, size_t firstFrame, size_t frames, int rate) {
    Tone tone;
    size_t crossings = 0;
    double sum = 0;
    size_t end = std::min(stereo.size() / 2, firstFrame + frames);
    for (size_t f = firstFrame; f < end; ++f) {
        const int v = stereo[2 * f];
        sum += double(v) * v;
        if (f > firstFrame && (stereo[2 * (f - 1)] < 0) != (v < 0)) {
            ++crossings;
        }
    }
    const size_t n = end > firstFrame ? end - firstFrame : 0;
    if (n > 0) {
        tone.rms = std::sqrt(sum / n);
        tone.hz = crossings / 2.0 * rate / n;
    }
    return tone;
}

size_t FirstSoundFrame(const std::vector<int16_t>& stereo) {
    for (size_t f = 0; f < stereo.size() / 2; ++f) {
        if (stereo[2 * f] != 0) {
            return f;
        }
    }
    return stereo.size() / 2;
}

} // namespace kovessa::test
