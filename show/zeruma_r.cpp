#include "show/zeruma_r.h"

#include "launcher/window_titles.h"

#include <QLabel>

namespace kovessa {

Zeruma_R::Zeruma_R(AppContext& app, QWidget* parent)
    : Form(parent), app_(app), imgPrev_(new QLabel(this)) {
    setWindowTitle(kPreviewWindowTitle);
    setWindowFlag(Qt::FramelessWindowHint);
}

void Zeruma_R::WatchParent(unsigned long) {}

} // namespace kovessa
