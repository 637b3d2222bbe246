#include "settings/strip_pictures.h"

#include <QImage>
#include <QString>

// Resources compiled into a static library are only linked in when something asks for them.
static void InitSettingsResources() {
    Q_INIT_RESOURCE(settings_pictures);
}

namespace kovessa {

PixelSurface LoadSurface(const char* resourcePath) {
    InitSettingsResources();
    const QImage image =
        QImage(QString::fromLatin1(resourcePath)).convertToFormat(QImage::Format_RGB32);
    PixelSurface surface(image.isNull() ? 0 : image.width(), image.isNull() ? 0 : image.height());
    for (int y = 0; y < surface.Height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < surface.Width(); ++x) {
            surface.SetPixel(x, y, ToRgb(ArgbPixel{row[x]}));
        }
    }
    return surface;
}

StripPictures LoadStripPictures() {
    return StripPictures{LoadSurface(":/settings/streak.png"),
                         {LoadSurface(":/settings/star0.png"), LoadSurface(":/settings/star1.png"),
                          LoadSurface(":/settings/star2.png"),
                          LoadSurface(":/settings/star3.png")}};
}

} // namespace kovessa
