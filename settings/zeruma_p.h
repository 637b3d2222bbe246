#pragma once

#include "launcher/app_context.h"
#include "launcher/qt_form.h"

namespace kovessa {

// The settings dialog "<Kovessa>", where the user chooses the music.
class Zeruma_P : public Form {
    Q_OBJECT
public:
    explicit Zeruma_P(AppContext& app, QWidget* parent = nullptr);

private:
    AppContext& app_;
};

} // namespace kovessa
