#include "controls/command_button_state.h"

namespace kovessa {

void CommandButtonState::Initialize() {
    buttonState_ = 1;
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
    if (buttonState_ == 1) {
        buttonState_ = 2;
        DrawButton(FacePicture::HighLight);
    }
    // While the left button is held the focused face stays as the press left it.
    if (buttonState_ == 3 && !mouseIsDown_) {
        buttonState_ = 4;
        DrawButton(FacePicture::HighLightSelect);
    }
}

void CommandButtonState::MouseUp(MouseButton button) {
    if (!enabled_) {
        return;
    }
    if (button == MouseButton::Left) {
        mouseIsDown_ = false;
        if (buttonState_ == 2) {
            DrawButton(FacePicture::Normal);
        } else if (buttonState_ == 4) {
            DrawButton(FacePicture::HighLightSelect);
        }
    }
    // A focused button whose pointer has left was dragged off: the press is withdrawn.
    if (buttonState_ != 3) {
        surface_.RaiseClick();
    }
}

void CommandButtonState::GotFocus() {
    if (!enabled_) {
        return;
    }
    if (buttonState_ != 2) {
        buttonState_ = 3;
        DrawButton(FacePicture::Selected);
    } else {
        // Focus that arrives with the pointer over the button comes from a click on it.
        buttonState_ = 4;
        DrawButton(FacePicture::Pressed);
    }
}

void CommandButtonState::LostFocus() {
    if (!enabled_) {
        return;
    }
    if (buttonState_ != 1) {
        buttonState_ = 1;
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
    if (buttonState_ == 2) {
        buttonState_ = 1;
        DrawButton(FacePicture::Normal);
    } else if (buttonState_ == 4) {
        buttonState_ = 3;
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
    case 1:
    case 3:
        hoverGradient_ = false;
        break;
    case 2:
        hoverGradient_ = true;
        break;
    default:
        break; // 4 keeps the direction it had; 0 has not been set up yet
    }
    surface_.DrawFace(picture, hoverGradient_);
}

} // namespace kovessa
