#include "settings/strip_view.h"

#include "settings/pixel_surface.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace kovessa {

StripView::StripView(const PixelSurface& frame, QWidget* parent) : QWidget(parent), frame_(frame) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StripView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (frame_.Width() <= 0 || frame_.Height() <= 0) {
        return;
    }
    const QImage image(reinterpret_cast<const uchar*>(frame_.Bits()), frame_.Width(),
                       frame_.Height(), frame_.BytesPerLine(), QImage::Format_RGB32);
    painter.drawImage(0, 0, image);
}

// A click is a left press and release on the strip, as on any picture box.
void StripView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void StripView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) {
        emit Clicked();
    }
}

} // namespace kovessa
