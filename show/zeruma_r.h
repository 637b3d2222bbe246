#pragma once

#include "launcher/app_context.h"
#include "launcher/qt_form.h"

class QLabel;

namespace kovessa {

// The preview window "Preview Window": one still picture inside a foreign parent window.
class Zeruma_R : public Form {
    Q_OBJECT
public:
    explicit Zeruma_R(AppContext& app, QWidget* parent = nullptr);

    // The picture control; it shows the picture at its own size from its top-left corner.
    QLabel* Img_Prev() const { return imgPrev_; }

    // Ends the process once the X window `parent` is gone.
    void WatchParent(unsigned long parent);

private:
    AppContext& app_;
    QLabel* imgPrev_;
};

} // namespace kovessa
