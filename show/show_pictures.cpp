#include "show/show_pictures.h"

// Resources compiled into a static library are linked only when something names their
// initialiser, which must be called from the global namespace.
static void initShowPictures() {
    Q_INIT_RESOURCE(show_pictures);
}

namespace kovessa {

namespace {

QImage load(const char* path) {
    initShowPictures();
    // Named as PNG: left to guess, the reader would load every image plugin to ask it.
    return QImage(QString::fromLatin1(path), "PNG");
}

} // namespace

QImage GlowPicture() {
    return load(":/show/glow.png");
}

QImage EarthPicture() {
    return load(":/show/earth.png");
}

QImage PreviewPicture() {
    return load(":/show/preview.png");
}

} // namespace kovessa
