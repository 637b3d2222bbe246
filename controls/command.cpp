#include "controls/command.h"

#include "controls/button_face_painter.h"
#include "controls/caption_layout.h"
#include "controls/qt_face_pictures.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QTimer>

#include <algorithm>

namespace kovessa {
namespace {

MouseButton ToMouseButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::Other;
    }
}

FontSpec ToFontSpec(const QFont& font) {
    FontSpec spec;
    spec.name = font.family().toStdString();
    double size = font.pointSizeF();
    if (size <= 0 && font.pixelSize() > 0) {
        size = font.pixelSize() * 72.0 / 96.0;
    }
    // Kept within what a stored design can hold.
    spec.size = std::clamp(size > 0 ? size : 9.0, 1.0, 2048.0);
    spec.bold = font.bold();
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikethrough = font.strikeOut();
    return spec;
}

QFont ToQFont(const FontSpec& spec) {
    QFont font(QString::fromStdString(spec.name));
    font.setPointSizeF(spec.size);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikethrough);
    return font;
}

} // namespace

Command::Command(QWidget* parent)
    : QWidget(parent), lblMsg_(new QLabel(this)), tmrMouse_(new QTimer(this)), state_(*this),
      properties_(state_, *this, AmbientFont()) {
    setObjectName(QString::fromLatin1(kIdentifier));
    // Moves without a held button are how the pointer's arrival is noticed.
    setMouseTracking(true);
    // A click takes the focus only with the left button (see mousePressEvent); Tab reaches
    // the button too.
    setFocusPolicy(Qt::TabFocus);

    // The caption has no window of its own: the pointer over it is over the button, and its
    // mouse events are the button's.
    lblMsg_->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblMsg_->setTextFormat(Qt::PlainText);
    lblMsg_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lblMsg_->setText(QString::fromStdString(properties_.Caption()));
    lblMsg_->setFont(ToQFont(properties_.Font()));
    SetCaptionColour(0);

    tmrMouse_->setInterval(100);
    connect(tmrMouse_, &QTimer::timeout, this, &Command::TmrMouse_Timer);
    SyncWidgetEnabled();
}

Command::~Command() = default;

void Command::Initialize() {
    state_.Initialize();
}

QString Command::Caption() const {
    return QString::fromStdString(properties_.Caption());
}

void Command::SetCaption(const QString& caption) {
    properties_.SetCaption(caption.toStdString());
}

QFont Command::Font() const {
    return lblMsg_->font();
}

void Command::SetFont(const QFont& font) {
    properties_.SetFont(ToFontSpec(font));
}

uint32_t Command::FontColour() {
    return properties_.FontColour();
}

void Command::SetFontColour(uint32_t colour) {
    properties_.SetFontColour(colour);
}

bool Command::Enabled() {
    const bool enabled = properties_.Enabled();
    SyncWidgetEnabled();
    return enabled;
}

void Command::SetEnabled(bool enabled) {
    properties_.SetEnabled(enabled);
    SyncWidgetEnabled();
}

uint8_t Command::Visible() {
    return properties_.Visible();
}

void Command::SetVisible(uint8_t visible) {
    properties_.SetVisible(visible);
}

void Command::ReadProperties(const PropertyBag& bag) {
    properties_.ReadProperties(bag, AmbientFont());
    SyncWidgetEnabled();
}

void Command::WriteProperties(PropertyBag& bag) {
    properties_.WriteProperties(bag, AmbientFont());
}

FontSpec Command::AmbientFont() const {
    return ToFontSpec(parentWidget() ? parentWidget()->font() : QApplication::font());
}

// A disabled button takes neither the mouse nor the focus, so Tab passes it by.
void Command::SyncWidgetEnabled() {
    QWidget::setEnabled(state_.Enabled());
}

void Command::TmrMouse_Timer() {
    // Any other widget or window under the pointer, including one of another program laid
    // over this one, means the pointer has left.
    const QWidget* under = QApplication::widgetAt(QCursor::pos());
    state_.MouseTimerTick(under == this || under == lblMsg_);
}

void Command::paintEvent(QPaintEvent*) {
    if (!opaque_ || face_.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, face_);
}

void Command::resizeEvent(QResizeEvent*) {
    state_.Resize();
}

void Command::mousePressEvent(QMouseEvent* event) {
    if (!state_.Enabled()) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        // Focus arrives before the press, as a click on a hovered button gives it.
        setFocus(Qt::MouseFocusReason);
    }
    state_.MouseDown(ToMouseButton(event->button()));
}

void Command::mouseMoveEvent(QMouseEvent* event) {
    // While a button is held the moves come here wherever the pointer is; only those over the
    // button count as arriving on it.
    if (rect().contains(event->position().toPoint())) {
        state_.MouseMove();
    }
}

void Command::mouseReleaseEvent(QMouseEvent* event) {
    state_.MouseUp(ToMouseButton(event->button()));
}

void Command::focusInEvent(QFocusEvent*) {
    state_.GotFocus();
}

void Command::focusOutEvent(QFocusEvent*) {
    state_.LostFocus();
}

void Command::DrawFace(FacePicture picture, bool hoverGradient) {
    currentFace_ = picture;
    RgbImage target(width(), height());
    PaintButtonFace(target, FacePictureImage(picture), hoverGradient);
    face_ = ToQImage(target);
    update();
    LayoutCaption();
}

void Command::LayoutCaption() {
    const int labelHeight = lblMsg_->fontMetrics().height() + 2;
    lblMsg_->setGeometry(0, CaptionTop(height(), labelHeight), width(), labelHeight);
}

void Command::SetCaptionEnabled(bool enabled) {
    lblMsg_->setEnabled(enabled);
}

void Command::SetCaptionText(const std::string& text) {
    lblMsg_->setText(QString::fromStdString(text));
}

void Command::SetCaptionFont(const FontSpec& font) {
    lblMsg_->setFont(ToQFont(font));
    LayoutCaption();
}

void Command::SetCaptionColour(uint32_t colour) {
    const QColor rgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    QPalette palette = lblMsg_->palette();
    // The disabled group keeps the system's greyed text.
    palette.setColor(QPalette::Active, QPalette::WindowText, rgb);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, rgb);
    lblMsg_->setPalette(palette);
}

void Command::SetOpaqueBackground(bool opaque) {
    opaque_ = opaque;
    update();
}

void Command::StartMouseTimer() {
    if (!tmrMouse_->isActive()) {
        tmrMouse_->start();
    }
}

void Command::RaiseClick() {
    emit Click();
}

void Command::NotifyChanged(std::string_view property) {
    emit PropertyChanged(
        QString::fromUtf8(property.data(), static_cast<qsizetype>(property.size())));
}

} // namespace kovessa
