#pragma once

#include "controls/face_picture.h"
#include "controls/font_spec.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kovessa {

// What the button's logic asks of the window that shows it. The Qt widget implements it;
// tests implement it with a recorder.
class CommandButtonSurface {
public:
    virtual ~CommandButtonSurface() = default;

    // Composes the face from `picture` and the gradient (turned over when `hoverGradient`),
    // keeps it as the button's persistent image, shows it and lays out the caption.
    virtual void DrawFace(FacePicture picture, bool hoverGradient) = 0;
    // Enables the caption, or shows it in the disabled text style.
    virtual void SetCaptionEnabled(bool enabled) = 0;
    // Shows `text` as the caption.
    virtual void SetCaptionText(const std::string& text) = 0;
    // Shows the caption in `font`.
    virtual void SetCaptionFont(const FontSpec& font) = 0;
    // Shows the caption in the colour 0x00BBGGRR.
    virtual void SetCaptionColour(uint32_t colour) = 0;
    // Lets the host's background show around the caption (false) or shows the face (true).
    virtual void SetOpaqueBackground(bool opaque) = 0;
    // Starts the 100 ms pointer test; a running test keeps running.
    virtual void StartMouseTimer() = 0;
    // Raises the button's one event.
    virtual void RaiseClick() = 0;
    // Tells the host that `property` changed, so it can mark its design as modified.
    virtual void NotifyChanged(std::string_view property) = 0;
};

} // namespace kovessa
