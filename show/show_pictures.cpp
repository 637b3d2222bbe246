#include "show/show_pictures.h"

#include <QImageReader>

// Resources compiled into a static library are linked only when something names their
// initialiser, which must be called from the global namespace.
static void InitShowPictures() {
    Q_INIT_RESOURCE(show_pictures);
}

namespace kovessa {

namespace {

QImage Load(const char* path) {
    InitShowPictures();
    // Read as the PNG it is: a reader left to guess loads every image plugin (and the image
    // libraries behind them) to ask each, which costs the show's start several milliseconds.
    QImageReader reader(QString::fromLatin1(path), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

QImage GlowPicture() {
    return Load(":/show/glow.png");
}

QImage EarthPicture() {
    return Load(":/show/earth.png");
}

QImage PreviewPicture() {
    return Load(":/show/preview.png");
}

} // namespace kovessa
