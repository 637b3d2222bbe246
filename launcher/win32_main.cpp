#include "common/problem_report.h"
#include "common/win32_text.h"
#include "common/window_titles.h"
#include "launcher/app_context.h"
#include "launcher/command_line.h"
#include "launcher/main_flow.h"
#include "launcher/process_end.h"
#include "launcher/program_paths.h"
#include "launcher/win32_main_platform.h"
#include "launcher/win32_message_loop.h"

#include <windows.h>

#include <optional>
#include <string>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*ansiArguments*/,
                   int /*show*/) {
    using namespace kovessa;
    ReportUnder(kScreensaverFileName);
    // The preview's size in twips and every window follow the screen's real dots per inch.
    SetProcessDPIAware();

    AppContext app;
    app.programFolder = ProgramFolder();
    // The whole line, program path included, as UTF-8 like every other text of the program;
    // the switches and the window handle are plain ASCII in any code page.
    app.commandLine = ArgumentTextOfCommandLine(Utf8FromWide(GetCommandLineW()));
    app.modeLetter = ModeLetter(app.commandLine);

    Win32MainPlatform platform(app);
    const MainResult result = Main(app.commandLine, app.programFolder, platform);
    if (result == MainResult::EndProcess) {
        EndProcessAtOnce(0);
    }
    if (result == MainResult::Fail) {
        EndProcessAtOnce(1);
    }
    EndProcessAtOnce(RunMessageLoop());
}
