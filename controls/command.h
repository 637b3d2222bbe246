#pragma once

#include "controls/command_button_properties.h"
#include "controls/command_button_state.h"
#include "controls/command_button_surface.h"
#include "controls/face_picture.h"
#include "controls/property_bag.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>

class QLabel;
class QTimer;

namespace kovessa {

// The owner-drawn push button "Zeruma.Command": a face composed from one of six pictures
// over a vertical gradient, a centred caption, a 100 ms pointer test instead of leave events,
// and Click on the release of any mouse button.
//
// A freshly placed button is disabled and draws nothing until its host either applies a
// stored design with ReadProperties or reads Enabled(); the host then calls Initialize once
// to start the pointer test.
class Command : public QWidget, private CommandButtonSurface {
    Q_OBJECT
public:
    static constexpr const char* kIdentifier = "Zeruma.Command";

    explicit Command(QWidget* parent = nullptr);
    ~Command() override;

    // Puts the button into its normal state and starts the pointer test. Draws nothing.
    void Initialize();

    QString Caption() const;
    void SetCaption(const QString& caption);
    QFont Font() const;
    void SetFont(const QFont& font);
    // 0x00BBGGRR. Reading redraws the resting face.
    uint32_t FontColour();
    void SetFontColour(uint32_t colour);
    // Reading redraws the face (Normal or Disable); the first read enables a fresh button.
    bool Enabled();
    void SetEnabled(bool enabled);
    // The background style, not the widget's visibility: 0 lets the host show through around
    // the caption, nonzero shows the face. An opaque button reads as 255.
    uint8_t Visible();
    void SetVisible(uint8_t visible);

    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag);

    // The inner state, for the host's diagnostics and for tests.
    uint8_t ButtonState() const { return state_.ButtonState(); }
    bool MouseIsDown() const { return state_.MouseIsDown(); }
    bool HoverGradient() const { return state_.HoverGradient(); }
    uint8_t FirstRun() const { return properties_.FirstRun(); }
    FacePicture CurrentFace() const { return currentFace_; }
    // The persistent face image, as last drawn (null before the first drawing).
    const QImage& FaceImage() const { return face_; }
    QLabel* LblMsg() const { return lblMsg_; }

signals:
    void Click();
    // The host's cue to mark its design as modified.
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void TmrMouse_Timer();
    void LayoutCaption();
    void SyncWidgetEnabled();
    FontSpec AmbientFont() const;

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

    QLabel* lblMsg_;
    QTimer* tmrMouse_;
    CommandButtonState state_;
    CommandButtonProperties properties_;
    QImage face_;
    FacePicture currentFace_ = FacePicture::Normal;
    bool opaque_ = true;
};

} // namespace kovessa
