#pragma once

#include "launcher/app_context.h"
#include "launcher/qt_form.h"

#include <memory>

class QLabel;

namespace kovessa {

class X11ParentWatch;

// The preview window "Preview Window": one still picture inside a foreign parent window. It
// is borderless and black; the picture sits at its own size in the top-left corner, so a
// larger parent shows black around it and a smaller one shows its top-left part.
class Zeruma_R : public Form {
    Q_OBJECT
public:
    explicit Zeruma_R(AppContext& app, QWidget* parent = nullptr);
    ~Zeruma_R() override;

    // The picture control; it shows the picture at its own size from its top-left corner.
    QLabel* Img_Prev() const { return imgPrev_; }

    // Ends the process once the X window `parent` is gone. A parent that is not a window ends
    // it at once: the preview would otherwise live on, invisible, with nothing to end it.
    void WatchParent(unsigned long parent);

private:
    QLabel* imgPrev_;
    std::unique_ptr<X11ParentWatch> watch_;
};

} // namespace kovessa
