#include "show/x11_parent_watch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdlib>
#include <utility>

namespace kovessa {

namespace {

xcb_connection_t* QtConnection() {
    auto* x11 =
        qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

} // namespace

X11ParentWatch::X11ParentWatch(unsigned long parent, std::function<void()> gone)
    : parent_(parent), gone_(std::move(gone)) {}

X11ParentWatch::~X11ParentWatch() {
    if (installed_ && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool X11ParentWatch::Start() {
    xcb_connection_t* c = QtConnection();
    if (c == nullptr || parent_ == 0 || parent_ > 0xffffffffUL) {
        return false;
    }
    const auto window = static_cast<xcb_window_t>(parent_);

    // Add structure events to whatever this connection already asks of the window (Qt may
    // watch it as a foreign parent). The checked request both proves that the window exists
    // and, once answered, guarantees that its destruction reaches us.
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    if (attributes == nullptr) {
        return false;
    }
    const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    std::free(attributes);

    QCoreApplication::instance()->installNativeEventFilter(this);
    installed_ = true;
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &mask));
    if (error != nullptr) {
        std::free(error);
        return false;
    }
    return true;
}

bool X11ParentWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) {
        return false;
    }
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (destroyed->window == parent_ && gone_) {
        gone_();
    }
    return false;
}

} // namespace kovessa
