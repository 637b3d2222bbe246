#include "controls/command_button_state.h"

namespace kovessa {

void CommandButtonState::Initialize() {
    buttonState_ = kButtonStateNormal;
    surface_.StartMouseTimer();
}

void CommandButtonState::MouseDown(MouseButton button) {
    if (!enabled_ || button != MouseButton::Left) {
        return;
    }
    mouseIsDown_ = true;
    DrawButton(FacePicture::Pressed);
}

void CommandButtonState::MouseMove() {
    if (!enabled_) {
        return;
    }
    if (buttonState_ == kButtonStateNormal) {
        buttonState_ = kButtonStateHover;
        DrawButton(FacePicture::HighLight);
    }
    // While the left button is held the focused face stays as the press left it.
    if (buttonState_ == kButtonStateFocus && !mouseIsDown_) {
        buttonState_ = kButtonStateFocusHover;
        DrawButton(FacePicture::HighLightSelect);
    }
}

void CommandButtonState::MouseUp(MouseButton button) {
    if (!enabled_) {
        return;
    }
    if (button == MouseButton::Left) {
        mouseIsDown_ = false;
        if (buttonState_ == kButtonStateHover) {
            DrawButton(FacePicture::Normal);
        } else if (buttonState_ == kButtonStateFocusHover) {
            DrawButton(FacePicture::HighLightSelect);
        }
    }
    // A focused button whose pointer has left was dragged off: the press is withdrawn.
    if (buttonState_ != kButtonStateFocus) {
        surface_.RaiseClick();
    }
}

void CommandButtonState::GotFocus() {
    if (!enabled_) {
        return;
    }
    if (buttonState_ != kButtonStateHover) {
        buttonState_ = kButtonStateFocus;
        DrawButton(FacePicture::Selected);
    } else {
        // Focus that arrives with the pointer over the button comes from a click on it.
        buttonState_ = kButtonStateFocusHover;
        DrawButton(FacePicture::Pressed);
    }
}

void CommandButtonState::LostFocus() {
    if (!enabled_) {
        return;
    }
    if (buttonState_ != kButtonStateNormal) {
        buttonState_ = kButtonStateNormal;
        DrawButton(FacePicture::Normal);
    }
}

void CommandButtonState::MouseTimerTick(bool cursorOverControl) {
    // The tick is the pointer's leave event: a disabled button keeps its Disable face.
    if (!enabled_) {
        return;
    }
    if (!cursorOverControl) {
        MouseOut();
    }
}

void CommandButtonState::MouseOut() {
    if (buttonState_ == kButtonStateHover) {
        buttonState_ = kButtonStateNormal;
        DrawButton(FacePicture::Normal);
    } else if (buttonState_ == kButtonStateFocusHover) {
        buttonState_ = kButtonStateFocus;
        DrawButton(FacePicture::Selected);
    }
}

void CommandButtonState::Resize() {
    ApplyEnabled();
}

void CommandButtonState::ApplyEnabled() {
    if (enabled_) {
        DrawButton(FacePicture::Normal);
        surface_.SetCaptionEnabled(true);
    } else {
        DrawButton(FacePicture::Disable);
        surface_.SetCaptionEnabled(false);
    }
}

void CommandButtonState::DrawButton(FacePicture picture) {
    switch (buttonState_) {
    case kButtonStateNormal:
    case kButtonStateFocus:
        hoverGradient_ = false;
        break;
    case kButtonStateHover:
        hoverGradient_ = true;
        break;
    default:
        break; // focus with hover keeps the direction it had; unset has no face yet
    }
    surface_.DrawFace(picture, hoverGradient_);
}

} // namespace kovessa
