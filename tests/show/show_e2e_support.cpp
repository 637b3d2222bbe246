#include "tests/show/show_e2e_support.h"

#include "common/window_titles.h"
#include "launcher/settings_file.h"
#include "show/handoff_bitmap.h"
#include "show/qt_rgb_pixels.h"

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace kovessa::test {

namespace {

void Put(std::ofstream& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>((v >> (8 * i)) & 0xff));
    }
}

} // namespace

QImage AssetPicture(const char* pngName) {
    const fs::path png = fs::path(KOVESSA_SHOW_ASSETS) / pngName;
    return QImage(QString::fromStdString(png.string()));
}

int WrongPreviewPixels(const Image& shot, const QImage& picture) {
    int wrong = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            Rgb want{};
            if (x < picture.width() && y < picture.height()) {
                const QRgb p = picture.pixel(x, y);
                want = Rgb{static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                           static_cast<uint8_t>(qBlue(p))};
            }
            if (!(shot.At(x, y) == want)) {
                ++wrong;
            }
        }
    }
    return wrong;
}

std::string ExpectedHandoffBitmap(const char* pngName) {
    return EncodeHandoffBitmap(ToRgbPixels(AssetPicture(pngName)));
}

void WriteMusicSettings(const ProgramFolder& folder, int kind, const std::string& file) {
    std::ofstream ini(folder.Ini(), std::ios::binary);
    ini << "[" << kSettingsSection << "]\r\n"
        << kKeyBGMKind << "=" << kind << "\r\n"
        << kKeyBGMRepeat << "=0\r\n"
        << kKeyBGMFile << "=" << file << "\r\n";
}

void WriteToneWav(const fs::path& path, double seconds, double hertz) {
    const uint32_t rate = 44100;
    const auto frames = static_cast<uint32_t>(seconds * rate);
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    Put(out, 36 + frames * 2, 4);
    out << "WAVEfmt ";
    Put(out, 16, 4);
    Put(out, 1, 2); // PCM
    Put(out, 1, 2); // mono
    Put(out, rate, 4);
    Put(out, rate * 2, 4);
    Put(out, 2, 2);
    Put(out, 16, 2);
    out << "data";
    Put(out, frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const double v = 12000.0 * std::sin(2.0 * M_PI * hertz * i / rate);
        Put(out, static_cast<uint16_t>(static_cast<int16_t>(v)), 2);
    }
}

bool EncodeMp3(const fs::path& wav, const fs::path& mp3, const Xvfb& xvfb) {
    if (!fs::exists("/usr/bin/lame")) {
        return false;
    }
    Process lame =
        Process::Start("/usr/bin/lame", {"--quiet", "-b", "128", wav.string(), mp3.string()}, xvfb);
    return lame.WaitExit(30s) == 0 && fs::file_size(mp3) > 0;
}

size_t LoudSamples(const fs::path& recording, int threshold) {
    const std::string raw = ReadWholeFile(recording);
    size_t loud = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const auto v = static_cast<int16_t>(static_cast<uint8_t>(raw[i]) |
                                            static_cast<uint8_t>(raw[i + 1]) << 8);
        if (std::abs(v) > threshold) {
            ++loud;
        }
    }
    return loud;
}

Process::Env DiskAudio(const fs::path& recording) {
    return {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", recording.string()}};
}

unsigned long RendererWindow(Display* dpy) {
    const std::vector<unsigned long> found = FindWindows(dpy, kRendererWindowTitle);
    return found.empty() ? 0 : found.front();
}

void CloseRenderer(Display* dpy) {
    if (const unsigned long w = RendererWindow(dpy)) {
        SendCloseRequest(dpy, w);
        WaitUntil([&] { return RendererWindow(dpy) == 0; }, 5s);
    }
}

double LitShare(Display* dpy, int x, int y) {
    const Image block = Capture(dpy, x - 10, y - 10, 21, 21);
    int lit = 0;
    for (const Rgb& p : block.pixels) {
        lit += p.r + p.g + p.b > 30;
    }
    return static_cast<double>(lit) / static_cast<double>(block.pixels.size());
}

int GlowPixels(Display* dpy, int x, int y, int width, int height) {
    const Image image = Capture(dpy, x, y, width, height);
    int glows = 0;
    for (const Rgb& p : image.pixels) {
        glows += p.r > 220 && p.g > 220 && p.b > 220;
    }
    return glows;
}

} // namespace kovessa::test
