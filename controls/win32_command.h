#pragma once

#include "controls/command_button_properties.h"
#include "controls/command_button_state.h"
#include "controls/command_button_surface.h"
#include "controls/face_picture.h"
#include "controls/font_spec.h"
#include "controls/property_bag.h"
#include "controls/rgb_image.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace kovessa {

// The owner-drawn push button "Zeruma.Command" as a child window of its own class: a face
// composed from one of six pictures over a vertical gradient, a centred caption that has no
// window of its own, a 100 ms pointer test instead of leave messages, and Click on the release
// of any mouse button. The states, the stored design and the face are the shared ones; this
// class only turns window messages into their events and shows what they draw.
//
// A freshly made button is disabled and draws nothing until its host applies a stored design
// with ReadProperties or reads Enabled(); the host then calls Initialize once to start the
// pointer test. The button takes the keyboard focus by Tab and by a left press; it has no keys
// of its own.
class Command : private CommandButtonSurface {
public:
    static constexpr const wchar_t* kClassName = L"Zeruma.Command";

    // Makes the window at `rect` (client pixels of `parent`) with the control id `id`.
    // `ambientFont` is the host's font, the caption's font until a design sets one.
    Command(HWND parent, int id, const RECT& rect, FontSpec ambientFont);
    ~Command() override;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    HWND Window() const { return hwnd_; }

    // Puts the button into its normal state and starts the pointer test. Draws nothing.
    void Initialize();

    // Texts are UTF-8.
    const std::string& Caption() const { return properties_.Caption(); }
    void SetCaption(const std::string& caption) { properties_.SetCaption(caption); }
    const FontSpec& Font() const { return properties_.Font(); }
    void SetFont(const FontSpec& font) { properties_.SetFont(font); }
    // 0x00BBGGRR. Reading redraws the resting face.
    uint32_t FontColour() { return properties_.FontColour(); }
    void SetFontColour(uint32_t colour) { properties_.SetFontColour(colour); }
    // Reading redraws the face (Normal or Disable); the first read enables a fresh button.
    bool Enabled();
    void SetEnabled(bool enabled);
    // The background style: 0 lets the host show through around the caption.
    uint8_t Visible() { return properties_.Visible(); }
    void SetVisible(uint8_t visible) { properties_.SetVisible(visible); }

    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag);

    // The Click event; the host sets it.
    std::function<void()> onClick;

    // The inner state, for the host's diagnostics.
    uint8_t ButtonState() const { return state_.ButtonState(); }
    FacePicture CurrentFace() const { return currentFace_; }
    // The persistent face image, as last drawn (empty before the first drawing).
    const RgbImage& FaceImage() const { return face_; }

private:
    static bool RegisterClassOnce();
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void MouseDown(MouseButton button);
    void MouseUp(MouseButton button);
    void TmrMouse_Timer();
    void RemakeFont();
    void SyncWindowEnabled();

    // CommandButtonSurface
    void DrawFace(FacePicture picture, bool hoverGradient) override;
    void SetCaptionEnabled(bool enabled) override;
    void SetCaptionText(const std::string& text) override;
    void SetCaptionFont(const FontSpec& font) override;
    void SetCaptionColour(uint32_t colour) override;
    void SetOpaqueBackground(bool opaque) override;
    void StartMouseTimer() override;
    void RaiseClick() override;
    void NotifyChanged(std::string_view property) override;

    HWND hwnd_ = nullptr;
    FontSpec ambientFont_;
    HFONT font_ = nullptr;
    std::wstring caption_;
    COLORREF captionColour_ = 0;
    bool captionEnabled_ = true;
    bool opaque_ = true;
    bool timerRunning_ = false;
    RgbImage face_;
    FacePicture currentFace_ = FacePicture::Normal;
    CommandButtonState state_;
    CommandButtonProperties properties_;
};

} // namespace kovessa
