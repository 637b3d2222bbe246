// A small window with two Command buttons for the end-to-end tests: "Set" (enabled) and "Off"
// (disabled), both loaded from stored designs. Every Click of "Set" prints one line "Click".

#include "controls/command.h"

#include <QApplication>
#include <QPalette>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Command host");
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0xEC, 0xE9, 0xD8));
    window.setPalette(palette);
    window.setGeometry(100, 100, 240, 120);

    // Holds the focus when the window becomes active, so the buttons start without it.
    auto* focusHolder = new QWidget(&window);
    focusHolder->setFocusPolicy(Qt::StrongFocus);
    focusHolder->setGeometry(200, 100, 4, 4);

    auto* set = new kovessa::Command(&window);
    set->ReadProperties(*kovessa::PropertyBag::Parse("Caption = \"Set\"\n"));
    set->setGeometry(20, 20, 73, 25);
    set->Initialize();
    QObject::connect(set, &kovessa::Command::Click, [] {
        std::puts("Click");
        std::fflush(stdout);
    });

    auto* off = new kovessa::Command(&window);
    off->ReadProperties(*kovessa::PropertyBag::Parse("Caption = \"Off\"\nEnabled = 0\n"));
    off->setGeometry(20, 60, 73, 25);
    off->Initialize();

    window.show();
    window.activateWindow();
    return app.exec();
}
