#include "settings/qt_text_drawer.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cmath>

namespace kovessa {

namespace {

// The strip is laid out in pixels at 96 dots per inch; its font size follows the same rule, so
// the text fits the strip whatever the screen's density.
constexpr double kStripDotsPerInch = 96.0;

} // namespace

void QtTextDrawer::DrawText(PixelSurface& surface, const SurfaceFont& font, std::string_view text,
                            int x, int y, RgbColour rgb) {
    if (surface.Width() <= 0 || surface.Height() <= 0 || text.empty()) {
        return;
    }
    QImage image(reinterpret_cast<uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                 surface.BytesPerLine(), QImage::Format_RGB32);
    QFont qfont(QString::fromStdString(std::string(font.name)));
    // A point size becomes a whole pixel height, rounded, as the desktop's font mapper does.
    qfont.setPixelSize(
        std::max(1, static_cast<int>(std::lround(font.points * kStripDotsPerInch / 72.0))));
    qfont.setBold(font.bold);
    // The strip cuts the letters out with bitwise masks, which only work on glyphs of one solid
    // colour: smoothed edges would come out in stray colours after the AND and OR steps.
    qfont.setStyleStrategy(QFont::NoAntialias);
    qfont.setHintingPreference(QFont::PreferFullHinting);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(qfont);
    painter.setPen(QColor::fromRgb(static_cast<QRgb>(ToOpaquePixel(rgb).value)));
    // x, y is the top left of the text cell; Qt places text on its baseline.
    const QFontMetrics metrics(qfont);
    painter.drawText(x, y + metrics.ascent(),
                     QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace kovessa
