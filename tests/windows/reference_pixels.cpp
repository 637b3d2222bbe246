// Writes what the Linux programs draw, for the Windows tests to compare the screen of a Windows
// program with, pixel by pixel:
//   reference_pixels strip DIR            DIR/strip-<k>.ppm for the frames k = 0..47 of one
//                                         sweep, and DIR/strip-mask.ppm (the letters in black)
//   reference_pixels face W H PICTURE HOVER OUT.ppm
//                                         the Command button's face, W x H, with the face
//                                         picture 0..5 (Normal .. Disable) and the gradient
//                                         turned over when HOVER is 1
#include "controls/button_face_painter.h"
#include "controls/face_picture.h"
#include "controls/qt_face_pictures.h"
#include "settings/display_strip.h"
#include "settings/qt_text_drawer.h"
#include "settings/strip_pictures.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kovessa {
namespace {

template <typename PixelAt>
bool WritePpm(const std::string& path, int width, int height, PixelAt pixelAt) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = pixelAt(x, y);
            const unsigned char bytes[3] = {static_cast<unsigned char>(rgb >> 16),
                                            static_cast<unsigned char>(rgb >> 8),
                                            static_cast<unsigned char>(rgb)};
            std::fwrite(bytes, 1, 3, file);
        }
    }
    return std::fclose(file) == 0;
}

bool WriteSurface(const std::string& path, const PixelSurface& surface) {
    return WritePpm(path, surface.Width(), surface.Height(),
                    [&](int x, int y) { return surface.Pixel(x, y).value; });
}

int Strip(const std::string& folder) {
    QtTextDrawer text;
    StripPictures pictures = LoadStripPictures();
    DisplayStrip strip(text, std::move(pictures.hilite), std::move(pictures.stars));
    // The same words as the dialog's strip.
    strip.Start("Kovessa documentation");
    bool ok = WriteSurface(folder + "/strip-mask.ppm", strip.picTextM);
    for (int k = 0; k < 48; ++k) {
        strip.DrawFrame();
        ok = WriteSurface(folder + "/strip-" + std::to_string(k) + ".ppm", strip.picDisplay) && ok;
    }
    return ok ? 0 : 1;
}

int Face(int width, int height, int picture, bool hover, const std::string& path) {
    if (width <= 0 || height <= 0 || picture < 0 ||
        picture >= static_cast<int>(kFacePictureCount)) {
        return 2;
    }
    RgbImage face(width, height);
    PaintButtonFace(face, FacePictureImage(static_cast<FacePicture>(picture)), hover);
    return WritePpm(path, width, height, [&](int x, int y) { return face.At(x, y); }) ? 0 : 1;
}

} // namespace
} // namespace kovessa

int main(int argc, char** argv) {
    // Fonts only; no display is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "strip" && argc == 3) {
        return kovessa::Strip(argv[2]);
    }
    if (what == "face" && argc == 7) {
        return kovessa::Face(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                             std::atoi(argv[5]) != 0, argv[6]);
    }
    std::fprintf(stderr, "usage: reference_pixels strip DIR | face W H PICTURE HOVER OUT.ppm\n");
    return 2;
}
