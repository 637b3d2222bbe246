#pragma once

#include "controls/command_button_state.h"
#include "controls/command_button_surface.h"
#include "controls/font_spec.h"
#include "controls/property_bag.h"

#include <cstdint>
#include <string>

namespace kovessa {

// The public properties of the Command button, with the effects that reading and writing
// them have on its face, and their stored design. Several reads redraw the face on purpose:
// a host that asks for Enabled or FontColour gets a button drawn in its resting look.
class CommandButtonProperties {
public:
    // The caption of a freshly placed button; a stored design without a caption reads as
    // kCaptionReadDefault instead, so "Command" does not survive a save and load.
    static constexpr const char* kCaptionWriteDefault = "Command";
    static constexpr const char* kCaptionReadDefault = "Command1";

    // `ambientFont` is the host's font: the caption's font until one is set, and the default
    // of the stored font.
    CommandButtonProperties(CommandButtonState& state, CommandButtonSurface& surface,
                            FontSpec ambientFont);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

    const FontSpec& Font() const { return font_; }
    void SetFont(FontSpec font);

    // 0x00BBGGRR. Reading redraws the resting face.
    uint32_t FontColour();
    // A colour with a nonzero top byte is refused: the caption keeps its colour and nothing
    // is notified, but the face is still reset.
    void SetFontColour(uint32_t colour);

    // While FirstRun is 0 the first read enables the button; every read draws Normal or
    // Disable.
    bool Enabled();
    void SetEnabled(bool enabled);

    // The background style: 0 transparent; an opaque button reads as 255.
    uint8_t Visible();
    void SetVisible(uint8_t visible);

    uint8_t FirstRun() const { return firstRun_; }

    // Redraws the Normal face of an enabled button (its state is kept); while FirstRun is 0
    // it also turns the caption black.
    void ResetFace();

    // Applies a stored design; missing entries take their defaults, unreadable ones leave
    // the property as it was. `ambientFont` is the host's font at the time.
    void ReadProperties(const PropertyBag& bag, const FontSpec& ambientFont);
    // Stores every property that differs from its default, then resets the face.
    void WriteProperties(PropertyBag& bag, const FontSpec& ambientFont);

private:
    // Sets the caption colour when the colour is one the caption can show.
    bool ApplyFontColour(uint32_t colour);

    CommandButtonState& state_;
    CommandButtonSurface& surface_;
    std::string caption_ = kCaptionWriteDefault;
    FontSpec font_;
    uint32_t fontColour_ = 0;
    bool opaque_ = true;
    uint8_t firstRun_ = 0;
};

} // namespace kovessa
