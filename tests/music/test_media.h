#pragma once

#include "tests/support/temp_dir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kovessa::test {

// Runs a program found on PATH with the arguments, no shell; returns its exit code (-1 when it
// could not be started).
int RunTool(const std::vector<std::string>& argv);
bool HaveTool(const std::string& name);

// Makes an MP3 of a sine tone with sox and lame. False when a tool is missing or fails.
bool MakeMp3Tone(const std::string& path, double seconds, double hz, double amplitude,
                 int rate = 44100);
// A 16-bit PCM WAV with the given interleaved samples.
bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int rate, int channels);
void WriteFile(const std::string& path, const std::string& bytes);

// Interleaved 16-bit stereo sine at 44.1 kHz.
std::vector<int16_t> StereoSine(double seconds, double hz, double amplitude);

// A BIN/CUE disc image: one track per tone, each `seconds` long (a whole number of sectors).
// A tone of 0 Hz makes a data track (MODE1/2352) of loud noise, which must never be heard.
// Returns the path of the .cue.
std::string MakeDiscImage(const std::string& folder, const std::string& name,
                          const std::vector<double>& toneHz, double seconds);

struct Tone {
    double hz = 0;  // from the zero crossings of the left channel
    double rms = 0; // of the left channel, in sample units
};
Tone Analyze(const std::vector<int16_t>& stereo, size_t firstFrame, size_t frames, int rate);

// Frames of a stereo recording whose left sample is not 0, from the first to the last.
size_t FirstSoundFrame(const std::vector<int16_t>& stereo);

} // namespace kovessa::test
