#pragma once

#include <QWidget>

class QCloseEvent;
class QEventLoop;

namespace kovessa {

// A window of the screensaver program with the life cycle its handlers expect: it can be
// loaded without being shown (it still gets an X window, so other processes find it by its
// caption), shown modeless or modal, and unloaded, which runs Form_QueryUnload and then
// Form_Unload. A close request from the window manager or another process, and SIGTERM,
// SIGINT or SIGHUP sent to the process, unload it the same way; a signal also ends the
// programs this process started. When the last loaded window has been
// unloaded, the message loop ends, as the program has nothing left to do.
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
    // Form_QueryUnload, then Form_Unload, then the window is hidden. Runs once.
    void Unload();

    bool IsLoaded() const { return loaded_; }

    // Catches SIGTERM, SIGINT and SIGHUP from now on, before the QApplication exists, so that
    // a program started meanwhile is not left behind by a signal. What a caught signal does
    // waits for InstallTerminationHandlers.
    static void CatchTerminationSignals();
    // Makes SIGTERM, SIGINT and SIGHUP end the started programs, unload every loaded window and
    // then end the message loops, also for a signal caught before. Call once, after the
    // QApplication exists and before any window loads.
    static void InstallTerminationHandlers();

    // Unloads every loaded window, newest first, then ends every running message loop.
    static void UnloadAll();

    // The number of loaded windows that have not been unloaded.
    static int LoadedCount();

protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload() {}
    virtual void Form_Unload() {}

    void closeEvent(QCloseEvent* event) override;

private:
    bool loaded_ = false;
    bool unloading_ = false;
    QEventLoop* modalLoop_ = nullptr;
};

} // namespace kovessa
