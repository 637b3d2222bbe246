#include "show/zeruma_s.h"

#include "launcher/window_titles.h"

namespace kovessa {

Zeruma_S::Zeruma_S(AppContext& app, QWidget* parent) : Form(parent), app_(app) {
    setWindowTitle(kShowWindowTitle);
}

void Zeruma_S::Form_Load() {}

void Zeruma_S::Form_QueryUnload() {}

} // namespace kovessa
