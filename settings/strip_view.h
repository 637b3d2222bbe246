#pragma once

#include <QWidget>

namespace kovessa {

class PixelSurface;

// The visible picture box of the display strip: shows the strip's finished frame with a
// pointing hand over it and reports a click.
class StripView : public QWidget {
    Q_OBJECT
public:
    StripView(const PixelSurface& frame, QWidget* parent = nullptr);

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const PixelSurface& frame_;
    bool pressed_ = false;
};

} // namespace kovessa
