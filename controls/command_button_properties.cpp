#include "controls/command_button_properties.h"

#include <limits>
#include <utility>

namespace kovessa {

CommandButtonProperties::CommandButtonProperties(CommandButtonState& state,
                                                 CommandButtonSurface& surface,
                                                 FontSpec ambientFont)
    : state_(state), surface_(surface), font_(std::move(ambientFont)) {}

void CommandButtonProperties::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    surface_.SetCaptionText(caption_);
    surface_.NotifyChanged("Caption");
}

void CommandButtonProperties::SetFont(FontSpec font) {
    font_ = std::move(font);
    surface_.SetCaptionFont(font_);
    surface_.NotifyChanged("Font");
}

uint32_t CommandButtonProperties::FontColour() {
    const uint32_t colour = fontColour_;
    ResetFace();
    return colour;
}

void CommandButtonProperties::SetFontColour(uint32_t colour) {
    const bool applied = ApplyFontColour(colour);
    ResetFace();
    if (applied) {
        surface_.NotifyChanged("FontColour");
    }
}

bool CommandButtonProperties::Enabled() {
    if (firstRun_ == 0) {
        ResetFace();
        firstRun_ = 1;
        state_.SetEnabledFlag(true);
    }
    const bool enabled = state_.Enabled();
    state_.ApplyEnabled();
    return enabled;
}

void CommandButtonProperties::SetEnabled(bool enabled) {
    state_.SetEnabledFlag(enabled);
    surface_.NotifyChanged("Enabled");
    state_.ApplyEnabled();
}

uint8_t CommandButtonProperties::Visible() {
    if (!opaque_) {
        return 0;
    }
    ResetFace();
    return 255;
}

void CommandButtonProperties::SetVisible(uint8_t visible) {
    opaque_ = visible != 0;
    surface_.SetOpaqueBackground(opaque_);
    if (opaque_) {
        ResetFace();
    }
    surface_.NotifyChanged("Visible");
}

void CommandButtonProperties::ResetFace() {
    if (!state_.Enabled()) {
        return;
    }
    surface_.SetCaptionEnabled(true);
    if (firstRun_ == 0) {
        ApplyFontColour(0);
    }
    state_.DrawButton(FacePicture::Normal);
}

bool CommandButtonProperties::ApplyFontColour(uint32_t colour) {
    if (colour > 0xFFFFFF) {
        return false;
    }
    fontColour_ = colour;
    surface_.SetCaptionColour(colour);
    return true;
}

void CommandButtonProperties::ReadProperties(const PropertyBag& bag, const FontSpec& ambientFont) {
    // Each entry on its own: one that cannot be read leaves its property as it was.
    if (const auto enabled = bag.ReadBoolean("Enabled", true)) {
        state_.SetEnabledFlag(*enabled);
    }
    if (auto caption = bag.ReadString("Caption", kCaptionReadDefault)) {
        caption_ = std::move(*caption);
        surface_.SetCaptionText(caption_);
    }
    if (auto font = bag.ReadFont("Font", ambientFont)) {
        font_ = std::move(*font);
        surface_.SetCaptionFont(font_);
    }
    if (const auto firstRun = bag.ReadInteger("FirstRun", 1, 0, 255)) {
        firstRun_ = static_cast<uint8_t>(*firstRun);
    }
    if (const auto colour =
            bag.ReadInteger("FontColour", 0, 0, std::numeric_limits<uint32_t>::max())) {
        ApplyFontColour(static_cast<uint32_t>(*colour));
    }
    // The background style has two values; anything else is refused.
    if (const auto style = bag.ReadInteger("Visible", 1, 0, 1)) {
        opaque_ = *style != 0;
        surface_.SetOpaqueBackground(opaque_);
    }
    ResetFace();
}

void CommandButtonProperties::WriteProperties(PropertyBag& bag, const FontSpec& ambientFont) {
    bag.WriteBoolean("Enabled", state_.Enabled(), true);
    bag.WriteString("Caption", caption_, kCaptionWriteDefault);
    bag.WriteInteger("FirstRun", firstRun_, 1);
    bag.WriteFont("Font", font_, ambientFont);
    bag.WriteInteger("FontColour", fontColour_, 0);
    bag.WriteInteger("Visible", opaque_ ? 1 : 0, 1);
    ResetFace();
}

} // namespace kovessa
