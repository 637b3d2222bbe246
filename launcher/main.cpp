#include "launcher/app_context.h"
#include "launcher/command_line.h"
#include "launcher/main_flow.h"
#include "launcher/process_end.h"
#include "launcher/program_paths.h"
#include "launcher/qt_form.h"
#include "launcher/qt_main_platform.h"
#include "launcher/x11_desktop.h"

#include <QApplication>
#include <QFont>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace kovessa;

    AppContext app;
    app.programFolder = ProgramFolder();
    app.commandLine = ArgumentText(std::vector<std::string>(argv + 1, argv + argc));
    app.modeLetter = ModeLetter(app.commandLine);

    // The program finds, hides and embeds windows through X11, so it runs on X (XWayland in a
    // Wayland session) whatever platform Qt would otherwise choose. Qt ends the process with an
    // abort when it cannot reach the display, so the display is tried first.
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (x11::XDisplay() == nullptr) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "Kovessa.scr: cannot open the X display \"%s\"; it needs an X11 session.\n",
                     display != nullptr ? display : "");
        return 1;
    }
    x11::CloseOwnDisplay();

    // Qt sees no arguments: a switch such as -s or -style belongs to the screensaver, not to Qt.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication qtApp(qtArgc, qtArgv);
    Form::InstallTerminationHandlers();
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"));

    QtMainPlatform platform(app);
    if (Main(app.commandLine, app.programFolder, platform) == MainResult::EndProcess) {
        EndProcessAtOnce(0);
    }
    EndProcessAtOnce(qtApp.exec());
}
