#pragma once

#include "controls/command_button_surface.h"

#include <string>
#include <vector>

namespace kovessa::test {

inline const char* FaceName(FacePicture picture) {
    static const char* const names[] = {"Normal",          "HighLight", "Selected",
                                        "HighLightSelect", "Pressed",   "Disable"};
    return names[static_cast<int>(picture)];
}

// Writes down what the button's logic asks of its window, one line per request.
class RecordingSurface : public CommandButtonSurface {
public:
    std::vector<std::string> calls;
    int clicks = 0;
    bool timerRunning = false;
    bool captionEnabled = true;
    uint32_t captionColour = 0;
    std::string captionText;

    // Only the faces drawn, as "Normal", or "HighLight/hover" for a turned-over gradient.
    std::vector<std::string> Faces() const {
        std::vector<std::string> faces;
        for (const auto& call : calls) {
            if (call.starts_with("face ")) {
                faces.push_back(call.substr(5));
            }
        }
        return faces;
    }
    void Clear() {
        calls.clear();
        clicks = 0;
    }

    void DrawFace(FacePicture picture, bool hoverGradient) override {
        calls.push_back(std::string("face ") + FaceName(picture) + (hoverGradient ? "/hover" : ""));
    }
    void SetCaptionEnabled(bool enabled) override {
        captionEnabled = enabled;
        calls.push_back(enabled ? "caption on" : "caption off");
    }
    void SetCaptionText(const std::string& text) override { captionText = text; }
    void SetCaptionFont(const FontSpec&) override {}
    void SetCaptionColour(uint32_t colour) override { captionColour = colour; }
    void SetOpaqueBackground(bool opaque) override {
        calls.push_back(opaque ? "opaque" : "transparent");
    }
    void StartMouseTimer() override { timerRunning = true; }
    void RaiseClick() override { ++clicks; }
    void NotifyChanged(std::string_view property) override {
        calls.push_back("notify " + std::string(property));
    }
};

} // namespace kovessa::test
