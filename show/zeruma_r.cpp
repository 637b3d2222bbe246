#include "show/zeruma_r.h"

#include "common/window_titles.h"
#include "launcher/process_end.h"
#include "show/show_pictures.h"
#include "show/x11_parent_watch.h"

#include <QLabel>
#include <QPalette>
#include <QPixmap>

namespace kovessa {

// The preview reads no settings: it only shows its picture.
Zeruma_R::Zeruma_R(AppContext& /*app*/, QWidget* parent)
    : Form(parent), imgPrev_(new QLabel(this)) {
    setWindowTitle(QString::fromLatin1(kPreviewWindowTitle));
    setWindowFlag(Qt::FramelessWindowHint);

    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    // One picture pixel to one screen pixel, also where the desktop scales windows up.
    QPixmap picture = QPixmap::fromImage(PreviewPicture());
    picture.setDevicePixelRatio(devicePixelRatioF());
    imgPrev_->setPixmap(picture);
    imgPrev_->setScaledContents(false);
    imgPrev_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgPrev_->setContentsMargins(0, 0, 0, 0);
    imgPrev_->setGeometry(0, 0, 152, 112);
}

Zeruma_R::~Zeruma_R() = default;

void Zeruma_R::WatchParent(unsigned long parent) {
    // When the parent goes, X has already destroyed this window as its child: no handler of
    // it can run usefully any more, so the process simply ends.
    watch_ = std::make_unique<X11ParentWatch>(parent, [] { EndProcessAtOnce(0); });
    if (!watch_->Start()) {
        EndProcessAtOnce(0);
    }
}

} // namespace kovessa
