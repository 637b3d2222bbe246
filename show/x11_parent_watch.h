#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

namespace kovessa {

// Calls `gone` once the X window `parent` has been destroyed. The watch asks the X server for
// the window's structure events on Qt's own connection and picks its DestroyNotify out of the
// event stream, so it costs nothing while the window lives. A window that is already gone (or
// never was one) is reported by Start.
class X11ParentWatch : public QAbstractNativeEventFilter {
public:
    X11ParentWatch(unsigned long parent, std::function<void()> gone);
    ~X11ParentWatch() override;

    // Returns false when `parent` is not a window of the display (nothing is then watched).
    bool Start();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    unsigned long parent_;
    std::function<void()> gone_;
    bool installed_ = false;
};

} // namespace kovessa
