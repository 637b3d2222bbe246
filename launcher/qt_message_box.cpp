#include "launcher/qt_message_box.h"

#include "common/window_titles.h"
#include "launcher/main_flow.h"

namespace kovessa {

std::unique_ptr<QMessageBox> MakeMissingRendererBox() {
    return std::make_unique<QMessageBox>(QMessageBox::NoIcon, QString::fromUtf8(kProgramTitle),
                                         QString::fromUtf8(kMissingRendererMessage),
                                         QMessageBox::Ok);
}

} // namespace kovessa
