#include "launcher/qt_form.h"

#include <QCloseEvent>
#include <QEventLoop>

namespace kovessa {

Form::Form(QWidget* parent) : QWidget(parent) {}

Form::~Form() = default;

void Form::Load() {
    if (loaded_)
        return;
    loaded_ = true;
    // A window that is never shown gets no X window until asked for one; the other processes
    // of Kovessa look for it by caption, so it must exist from the load on.
    winId();
    Form_Load();
}

void Form::ShowModeless() {
    Load();
    show();
}

void Form::ShowModal() {
    Load();
    modal_ = true;
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    while (!unloading_ && isVisible())
        loop.exec();
}

void Form::Unload() {
    if (unloading_)
        return;
    unloading_ = true;
    Form_QueryUnload();
    Form_Unload();
    hide();
}

void Form::closeEvent(QCloseEvent* event) {
    // Every close, whoever asks for it, takes the unload path.
    event->accept();
    Unload();
}

} // namespace kovessa
