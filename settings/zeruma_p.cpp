#include "settings/zeruma_p.h"

#include "launcher/window_titles.h"

namespace kovessa {

Zeruma_P::Zeruma_P(AppContext& app, QWidget* parent) : Form(parent), app_(app) {
    setWindowTitle(kSettingsWindowTitle);
    setFixedSize(481, 231);
}

} // namespace kovessa
