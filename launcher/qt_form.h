#pragma once

#include <QWidget>

class QCloseEvent;

namespace kovessa {

// A window of the screensaver program with the life cycle its handlers expect: it can be
// loaded without being shown (it still gets an X window, so other processes find it by its
// caption), shown modeless or modal, and unloaded, which runs Form_QueryUnload and then
// Form_Unload. A close request from the window manager or another process, and SIGTERM or
// SIGHUP sent to the process, unload it the same way.
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    // Creates the native window without showing it, then runs Form_Load.
    void Load();
    // Loads if needed and shows the window; returns at once.
    void ShowModeless();
    // Loads if needed, shows the window modally and returns once it has been unloaded.
    void ShowModal();
    // Form_QueryUnload, then Form_Unload, then the window is hidden and destroyed. Runs once.
    void Unload();

    bool IsLoaded() const { return loaded_; }

protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload() {}
    virtual void Form_Unload() {}

    void closeEvent(QCloseEvent* event) override;

private:
    bool loaded_ = false;
    bool unloading_ = false;
    bool modal_ = false;
};

} // namespace kovessa
