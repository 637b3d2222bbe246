#pragma once

#include "controls/command_button_surface.h"
#include "controls/face_picture.h"

#include <cstdint>

namespace kovessa {

enum class MouseButton { Left, Right, Middle, Other };

// The values of ButtonState, as the button's design numbers them.
inline constexpr uint8_t kButtonStateUnset = 0;      // before Initialize or a focus change
inline constexpr uint8_t kButtonStateNormal = 1;     // no focus, pointer outside
inline constexpr uint8_t kButtonStateHover = 2;      // no focus, pointer over
inline constexpr uint8_t kButtonStateFocus = 3;      // focus, pointer outside
inline constexpr uint8_t kButtonStateFocusHover = 4; // focus, pointer over

// The states of the Command button and the moves between them, driven by the mouse, the
// focus and the 100 ms pointer test; it draws through the surface it is given.
//
// ButtonState: 0 until Initialize or a focus change, 1 normal, 2 pointer over without focus,
// 3 focus with the pointer outside, 4 focus with the pointer over. Focus moves it between the
// pair without focus (1, 2) and the focused pair (3, 4); the pointer moves it within a pair,
// entering on the next move and leaving on the next timer tick after it has gone.
class CommandButtonState {
public:
    explicit CommandButtonState(CommandButtonSurface& surface) : surface_(surface) {}

    // ButtonState := 1 and the pointer test starts. Draws nothing.
    void Initialize();

    void MouseDown(MouseButton button);
    void MouseMove();
    // A release of any button, wherever the pointer is: the button keeps the mouse from the
    // press. Raises Click unless the button is disabled or focused with the pointer outside.
    void MouseUp(MouseButton button);
    void GotFocus();
    void LostFocus();
    // One tick of the pointer test: `cursorOverControl` is true when the window under the
    // pointer is the button itself (its caption counts as the button).
    void MouseTimerTick(bool cursorOverControl);
    // The button was resized: the face is drawn again, Normal or Disable, whatever the state.
    void Resize();

    // Normal face and enabled caption, or Disable face and greyed caption. State unchanged.
    void ApplyEnabled();
    // Sets HoverGradient from the state (1, 3: resting; 2: hovered; 4: as it was) and draws.
    void DrawButton(FacePicture picture);

    bool Enabled() const { return enabled_; }
    void SetEnabledFlag(bool enabled) { enabled_ = enabled; }

    uint8_t ButtonState() const { return buttonState_; }
    bool MouseIsDown() const { return mouseIsDown_; }
    bool HoverGradient() const { return hoverGradient_; }

private:
    void MouseOut();

    CommandButtonSurface& surface_;
    uint8_t buttonState_ = 0;
    bool mouseIsDown_ = false;
    bool hoverGradient_ = false;
    // A freshly placed button is disabled until its host reads or sets Enabled.
    bool enabled_ = false;
};

} // namespace kovessa
