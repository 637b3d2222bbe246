#include "controls/qt_face_pictures.h"

#include <QImage>
#include <QString>

#include <array>
#include <cstring>

// The pictures live in this static library; a static library's resources must be registered
// by name, and only from the global namespace.
static void RegisterControlsResources() {
    Q_INIT_RESOURCE(controls);
}

namespace kovessa {
namespace {

const char* ResourceName(FacePicture picture) {
    switch (picture) {
    case FacePicture::Normal:
        return ":/controls/normal.bmp";
    case FacePicture::HighLight:
        return ":/controls/highlight.bmp";
    case FacePicture::Selected:
        return ":/controls/selected.bmp";
    case FacePicture::HighLightSelect:
        return ":/controls/highlightselect.bmp";
    case FacePicture::Pressed:
        return ":/controls/pressed.bmp";
    case FacePicture::Disable:
        return ":/controls/disable.bmp";
    }
    return "";
}

} // namespace

const RgbImage& FacePictureImage(FacePicture picture) {
    static const std::array<RgbImage, kFacePictureCount> pictures = [] {
        RegisterControlsResources();
        std::array<RgbImage, kFacePictureCount> loaded;
        for (std::size_t i = 0; i < kFacePictureCount; ++i) {
            const QImage image(QString::fromLatin1(ResourceName(static_cast<FacePicture>(i))));
            if (image.width() == kFacePictureWidth && image.height() == kFacePictureHeight) {
                loaded[i] = ToRgbImage(image);
            }
        }
        return loaded;
    }();
    return pictures[static_cast<std::size_t>(picture)];
}

RgbImage ToRgbImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    RgbImage out(rgb.width(), rgb.height());
    for (int y = 0; y < out.height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(rgb.constScanLine(y));
        for (int x = 0; x < out.width; ++x) {
            out.Set(x, y, line[x] & 0xFFFFFFu);
        }
    }
    return out;
}

QImage ToQImage(const RgbImage& image) {
    QImage out(image.width, image.height, QImage::Format_RGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(out.scanLine(y));
        for (int x = 0; x < image.width; ++x) {
            line[x] = image.At(x, y) | 0xFF000000u;
        }
    }
    return out;
}

} // namespace kovessa
