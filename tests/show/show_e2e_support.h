#pragma once

// What the show's end-to-end tests share: the bitmaps the show must hand over, the settings
// file for a music choice, test sounds, and reading what the disk audio driver recorded.
#include "tests/harness/harness.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace kovessa::test {

// A picture of assets/show as the source tree holds it.
QImage AssetPicture(const char* pngName);

// Pixels of `shot` that differ from a preview: `picture` at its own size in the top-left corner,
// black elsewhere.
int WrongPreviewPixels(const Image& shot, const QImage& picture);

// The hand-off file the show must write for one of the pictures in assets/show, built from
// the PNG in the source tree.
std::string ExpectedHandoffBitmap(const char* pngName);

// Writes Kovessa.ini with the music settings (keys in their code page 932 bytes).
void WriteMusicSettings(const ProgramFolder& folder, int kind, const std::string& file);

// A mono 16-bit 44.1 kHz WAV file of a sine tone.
void WriteToneWav(const fs::path& path, double seconds, double hertz = 440.0);

// Encodes `wav` as MP3 with lame; false when lame is not available.
bool EncodeMp3(const fs::path& wav, const fs::path& mp3, const Xvfb& xvfb);

// Number of 16-bit samples in the recording whose magnitude exceeds `threshold`.
size_t LoudSamples(const fs::path& recording, int threshold = 1000);

// The environment that sends the program's sound into `recording` through SDL's disk driver.
Process::Env DiskAudio(const fs::path& recording);

// The show's renderer window, or 0.
unsigned long RendererWindow(Display* dpy);

// Share of a 21x21 block around (x, y) that is not black: the Earth in the middle of the scene
// lights all of it, the dark sky around it with its trails about half.
double LitShare(Display* dpy, int x, int y);

// Pixels of the rectangle that are nearly white: the cores of the fireflies' glows.
int GlowPixels(Display* dpy, int x, int y, int width, int height);

// Ends a renderer that is still on screen with a close request, so no test leaves one behind.
void CloseRenderer(Display* dpy);

} // namespace kovessa::test
