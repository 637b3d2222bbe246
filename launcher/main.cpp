#include "common/problem_report.h"
#include "common/session_bus.h"
#include "common/window_titles.h"
#include "launcher/app_context.h"
#include "launcher/command_line.h"
#include "launcher/hack_command.h"
#include "launcher/main_flow.h"
#include "launcher/process_end.h"
#include "launcher/program_paths.h"
#include "launcher/qt_form.h"
#include "launcher/qt_main_platform.h"
#include "launcher/runtime_folder.h"
#include "launcher/x11_desktop.h"

#include <QApplication>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace kovessa;
    ReportUnder(kScreensaverFileName);
    KeepOffUnnamedSessionBus();

    AppContext app;
    app.programFolder = ProgramFolder();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    app.commandLine = ArgumentText(arguments);
    app.modeLetter = ModeLetter(app.commandLine);
    // A daemon's command line is recognised before the Windows switches, which it would
    // otherwise read as an unknown letter.
    const std::optional<HackCommand> hack =
        ReadHackCommand(arguments, std::getenv("XSCREENSAVER_WINDOW"));
    if (hack) {
        FillMissingRuntimeFolder(UserRuntimeFolder());
    }

    // The program finds, hides and embeds windows through X11, so it runs on X (XWayland in a
    // Wayland session) whatever platform Qt would otherwise choose. Qt ends the process with an
    // abort when it cannot reach the display, so the display is tried first.
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (x11::XDisplay() == nullptr) {
        const char* display = std::getenv("DISPLAY");
        ReportProblem(std::string("cannot open the X display \"") +
                      (display != nullptr ? display : "") + "\"; it needs an X11 session.");
        return 1;
    }
    // Without a runtime folder the window toolkit would make one that outlives the process.
    UsePrivateRuntimeFolder();
    // A signal from here on also ends a renderer started before the window toolkit is up.
    Form::CatchTerminationSignals();

    QtMainPlatform platform(app, argv[0]);
    const MainResult result = hack ? HackMain(*hack, app.programFolder, platform)
                                   : Main(app.commandLine, app.programFolder, platform);
    if (result == MainResult::EndProcess) {
        EndProcessAtOnce(0);
    }
    if (result == MainResult::Fail) {
        EndProcessAtOnce(1);
    }
    platform.StartToolkit();
    EndProcessAtOnce(QApplication::exec());
}
